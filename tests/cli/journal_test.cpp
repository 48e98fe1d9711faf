// SPDX-License-Identifier: MIT
// The journal: the update file's hash, lines appended by two writers at once, local times with
// their zone, and the journal command's table and summary of a file with a broken line in it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <nlohmann/json.hpp>
#include <thread>

#include "FlashRun.h"
#include "base/Translation.h"
#include "cli/Journal.h"
#include "cli/TevrFlash.h"
#include "release/FileDigest.h"
#include "support/SampleFiles.h"
#include "support/TempFolder.h"
#include "table_text.h"
#include "words/RussianCatalogue.h"

namespace line_test {
namespace {

// The platform's library gives the digests the lock and the journal have always carried.
TEST(Sha256, KnownDigestsFromTheLibrary) {
    EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // 56 bytes: the length no longer fits the first block.
    EXPECT_EQ(Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(Sha256Hex(std::string(1000000, 'a')),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(Journal, TwoWritersAppendingAtOnceLoseNoLine) {
    TempFolder folder;
    const std::string path = folder / "journal.jsonl";
    constexpr int kLines = 1000;
    // Longer than a pipe's atomic write and a stream's buffer.
    const std::string message(6000, 'm');
    // Each with a journal, and so a file opened, of its own, as two processes have.
    std::vector<std::thread> writers;
    for (int w = 0; w < 2; ++w) {
        writers.emplace_back([&, w] {
            Journal journal(path);
            JournalEntry entry;
            entry.port = "writer-" + std::to_string(w);
            entry.result = "done";
            for (int i = 0; i < kLines; ++i) {
                entry.file = std::to_string(i) + message;
                journal.Append(entry);
            }
        });
    }
    for (std::thread& writer : writers)
        writer.join();
    const std::vector<std::string> lines = Lines(ReadWhole(path));
    ASSERT_EQ(lines.size(), 2u * kLines);
    int next[2] = {0, 0};
    for (const std::string& line : lines) {
        const nlohmann::json entry = nlohmann::json::parse(line, nullptr, false);
        ASSERT_TRUE(entry.is_object()) << line.substr(0, 80);
        const int w = entry.value("port", "") == "writer-1";
        // Each writer's lines whole and in its own order.
        EXPECT_EQ(entry.value("file", ""), std::to_string(next[w]++) + message);
    }
    EXPECT_EQ(next[0], kLines);
    EXPECT_EQ(next[1], kLines);
}

// Makes `zone` (a POSIX TZ rule) the process's time zone; null: the system's own again.
void SetTimeZone(const char* zone) {
#if defined(_WIN32)
    _putenv_s("TZ", zone ? zone : "");
    _tzset();
#else
    if (zone)
        setenv("TZ", zone, 1);
    else
        unsetenv("TZ");
    tzset();
#endif
}

TEST(Journal, LocalTimesCarryTheirZone) {
    const char* saved = std::getenv("TZ");
    const std::string before = saved ? saved : "";
    // Half an hour off the hour, on either side of UTC.
    const auto time =
        std::chrono::system_clock::from_time_t(1000000000) + std::chrono::milliseconds(250);
    SetTimeZone("IST-5:30");
    EXPECT_EQ(IsoLocalTime(time), "2001-09-09T07:16:40.250+05:30");
    SetTimeZone("NST3:30");
    EXPECT_EQ(IsoLocalTime(time), "2001-09-08T22:16:40.250-03:30");
    SetTimeZone(saved ? before.c_str() : nullptr);
}

TEST(JournalCommand, TableAndSummaryLeaveBrokenLinesOut) {
    TempFolder folder;
    const std::string path = folder / "journal.jsonl";
    const auto now = std::chrono::system_clock::now();
    {
        Journal journal(path);
        JournalEntry entry;
        entry.start = entry.end = now;
        entry.port = "/dev/ttyUSB0";
        entry.file = "/srv/fw/r7-2.4.hex";
        entry.sha256 = Sha256Hex("firmware");
        entry.blocksSent = entry.blocksTotal = 16;
        entry.seconds = 2.34;
        entry.result = "done";
        journal.Append(entry);
        entry.file = "C:\\fw\\r7-2.4.hex";  // written on Windows
        journal.Append(entry);
        entry.port = "/dev/\x1b[2JttyUSB1";  // anyone may name a link
        entry.blocksSent = 3;
        entry.result = "failed";
        entry.cause.fault = BoardFault::DeviceGone;
        journal.Append(entry);
    }
    std::ofstream(path, std::ios::app) << "{\"start\": \"2026-\n\n";

    const auto run = [&](std::vector<std::string> args) {
        args.insert(args.begin(), "journal");
        args.push_back(path);
        const FlashRun journalRun = TevrFlash(args);
        EXPECT_EQ(journalRun.status, kExitOk) << journalRun.err;
        EXPECT_EQ(journalRun.err, "tevr-flash: " + path + ":4: not a journal line, left out\n");
        EXPECT_EQ(journalRun.out.find('\x1b'), std::string::npos) << journalRun.out;
        return Lines(journalRun.out);
    };
    const std::vector<std::string> table = run({});
    ASSERT_EQ(table.size(), 4u);
    const std::string started = IsoLocalTime(now).replace(10, 1, " ").substr(0, 19);
    EXPECT_EQ(Cells(table[1]),
              (std::vector<std::string>{started, "/dev/ttyUSB0", "done", "16/16", "2.3 s",
                                        "r7-2.4.hex", Sha256Hex("firmware").substr(0, 12)}));
    EXPECT_EQ(Cells(table[2])[5], "r7-2.4.hex");
    EXPECT_EQ(Cells(table[3])[1], "/dev/\\x1B[2JttyUSB1");
    EXPECT_EQ(Cells(table[3])[2], "failed");
    const std::string gone =
        "the on-board computer or its adapter went away (unplugged, switched off or reset); the "
        "port is closed";
    EXPECT_EQ(Cells(table[3]).back(), gone);

    const std::vector<std::string> summary = run({"--summary"});
    ASSERT_GE(summary.size(), 3u);
    EXPECT_EQ(Cells(summary[1]),
              (std::vector<std::string>{IsoLocalTime(now).substr(0, 10), "3", "2", "1"}));
    EXPECT_EQ(Cells(summary[2]), (std::vector<std::string>{"total", "3", "2", "1"}));
    EXPECT_EQ(Cells(summary.back()).back(), gone);
}

TEST(JournalCommand, EachReaderReadsTheJournalInItsOwnLanguage) {
    TempFolder folder;
    const std::string path = folder / "journal.jsonl";
    const auto write = [&](const BoardCause& cause, const char* result) {
        JournalEntry entry;
        entry.port = "/dev/ttyUSB0";
        entry.file = "/srv/fw/r7.hex";
        entry.result = result;
        entry.code = BoardCauseCode(cause);
        entry.cause = cause;
        Journal(path).Append(entry);
    };
    // Written by a Russian flasher: nothing of its language is in the file.
    UseCatalogue(RussianCatalogue());
    write({BoardFault::FileRefused,
           ConversionProblem{.fault = ConversionFault::WrongChecksum, .line = 7}},
          "failed");
    write({BoardFault::NoProgress,
           StallReason{StallWait::Echo, "0100", 0, 131, std::chrono::milliseconds(2500)}},
          "stalled");
    write({BoardFault::PortOpenFailed,
           SerialProblem{TVaCommFault::CantOpen, 16, "/dev/ttyUSB0", TVaSystemFault::Busy}},
          "failed");
    const std::string written = ReadWhole(path);
    EXPECT_EQ(written.find("Ð"), std::string::npos) << written;
    EXPECT_EQ(written.find("Ñ"), std::string::npos) << written;

    const auto messages = [&] {
        std::vector<std::string> last;
        for (const std::string& row : Lines(TevrFlash({"journal", path}).out))
            last.push_back(Cells(row).back());
        return last;
    };
    const std::vector<std::string> russian = messages();
    ASSERT_EQ(russian.size(), 4u);
    EXPECT_EQ(russian[1], "/srv/fw/r7.hex: строка 7: неверная контрольная сумма записи");
    EXPECT_EQ(russian[2], "нет продвижения: за 2,5 с не пришло эхо блока по адресу 0100");
    EXPECT_EQ(russian[3], "не удаётся открыть порт (порт занят другой программой, ошибка 16)");

    UseCatalogue({});
    const std::vector<std::string> english = messages();
    ASSERT_EQ(english.size(), 4u);
    EXPECT_EQ(english[1], "/srv/fw/r7.hex: line 7: wrong record checksum");
    EXPECT_EQ(english[2], "no progress: no echo of the block at 0100 within 2.5 s");
    EXPECT_EQ(english[3],
              "the port cannot be opened (the port is in use by another program, error 16)");
    SetUpTranslation();
}

}  // namespace
}  // namespace line_test
