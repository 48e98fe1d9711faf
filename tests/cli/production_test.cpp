// SPDX-License-Identifier: MIT
// tevr-flash flash on several ports at once and as a station, in-process against simulated
// boards: every board verified, faults kept to their own port, the summary, the exit status and
// the journal.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <csignal>
#include <thread>

#include "FlashRun.h"
#include "cli/ImageCheck.h"
#include "cli/TevrFlash.h"
#include "loader/BootLoaderTransfer.h"
#include "release/FileDigest.h"
#include "sim/BootLoaderSim.h"
#include "support/SampleFiles.h"
#include "support/TempFolder.h"
#include "table_text.h"
#include "words/Words.h"

namespace line_test {
namespace {

using namespace std::chrono_literals;

struct FlashRunResult {
    int status;
    std::string err;

    // The cells of the summary's row of `port`: port, result, blocks, time, message.
    std::vector<std::string> Row(const std::string& port) const {
        std::vector<std::string> cells;
        for (const std::string& line : Lines(err))
            if (line.rfind(port + "  ", 0) == 0) cells = Cells(line);
        cells.resize(5);
        return cells;
    }
    std::string Last() const { return Lines(err).empty() ? "" : Lines(err).back(); }
};

class ProductionTest : public ::testing::Test {
protected:
    ~ProductionTest() override {
        for (const auto& sim : sims)
            sim->Stop();
    }
    // One simulated board for each entry, on lines of their own; the flasher gets every line.
    void Launch(const std::vector<SimOptions>& boards) {
        for (const SimOptions& options : boards) {
            sims.push_back(std::make_unique<BootLoaderSim>(options));
            sims.back()->Start();
        }
    }
    FlashRunResult Flash(std::vector<std::string> more = {}) {
        std::vector<std::string> args{"flash", file};
        for (const auto& sim : sims) {
            args.push_back("--port");
            args.push_back(sim->TerminalPath());
        }
        args.insert(args.end(), more.begin(), more.end());
        const FlashRun run = TevrFlash(args);
        EXPECT_EQ(run.out, "");
        return {run.status, run.err};
    }
    void ExpectVerified(const std::vector<uint8_t>& image) const {
        const ImageComparison comparison = CompareImageWithUpdateFile(file, image);
        EXPECT_EQ(comparison.bytesChecked, 0x800);
        EXPECT_EQ(comparison.bytesDiffering, 0) << DescribeComparison(comparison, file);
    }
    std::vector<nlohmann::json> Journal() const {
        std::vector<nlohmann::json> lines;
        for (const std::string& line : Lines(ReadWhole(folder / "journal.jsonl"))) {
            lines.push_back(nlohmann::json::parse(line, nullptr, false));
            EXPECT_TRUE(lines.back().is_object()) << line;
        }
        return lines;
    }
    std::string Port(size_t board) const { return sims.at(board)->TerminalPath(); }

    TempFolder folder;
    // Four pages of four blocks each.
    const std::string file = WriteHexFile(folder / "fw.hex", {DataAt(0x0000, 0x800)});
    std::vector<std::unique_ptr<BootLoaderSim>> sims;
};

TEST_F(ProductionTest, FourBoardsAtOnceAreVerifiedAndJournalled) {
    Launch(std::vector<SimOptions>(4));
    const FlashRunResult run = Flash({"--journal", folder / "journal.jsonl"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.Last(), "tevr-flash: all 4 boards done");
    for (size_t board = 0; board < sims.size(); ++board) {
        ASSERT_TRUE(sims[board]->WaitForEnd(10s)) << board;
        ExpectVerified(sims[board]->Image());
        EXPECT_EQ(run.Row(Port(board))[1], "done") << run.err;
        EXPECT_EQ(run.Row(Port(board))[2], "16/16");
    }

    const std::vector<nlohmann::json> journal = Journal();
    ASSERT_EQ(journal.size(), 4u);
    std::vector<std::string> ports;
    for (const nlohmann::json& line : journal) {
        EXPECT_EQ(line.value("sha256", ""), Sha256Hex(ReadWhole(file)));
        EXPECT_EQ(line.value("file_size", 0u), ReadWhole(file).size());
        EXPECT_EQ(line.value("result", ""), "done");
        EXPECT_EQ(line.value("blocks", 0), 16);
        EXPECT_EQ(line.value("file", ""), file);
        // ISO 8601 with milliseconds and the zone.
        EXPECT_EQ(line.value("end", "").size(),
                  std::string("2026-05-04T09:15:02.250+03:00").size());
        EXPECT_LE(line.value("start", ""), line.value("end", ""));
        ports.push_back(line.value("port", ""));
    }
    std::sort(ports.begin(), ports.end());
    std::vector<std::string> expected{Port(0), Port(1), Port(2), Port(3)};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(ports, expected);
}

TEST_F(ProductionTest, FaultyBoardsLeaveTheOthersToSucceed) {
    std::vector<SimOptions> boards(4);
    boards[0].badChecksumBlock = 3;  // answered wrongly once, then rightly
    boards[1].silentAfter = 2;
    boards[2].hangupAfter = 2;
    for (SimOptions& board : boards)
        board.regreetAfterMs = 0;
    Launch(boards);
    const FlashRunResult run = Flash({"--timeout", "3"});
    EXPECT_EQ(run.status, kExitError) << run.err;
    for (const size_t done : {0u, 3u}) {
        ASSERT_TRUE(sims[done]->WaitForEnd(10s)) << done;
        ExpectVerified(sims[done]->Image());
        EXPECT_EQ(run.Row(Port(done))[1], "done") << run.err;
    }
    EXPECT_EQ(run.Row(Port(1))[1], "stalled") << run.err;
    EXPECT_EQ(run.Row(Port(1))[2], "2/16");
    EXPECT_EQ(run.Row(Port(1))[4], "no progress: no echo of the block at 0100 within 3 s");
    EXPECT_EQ(run.Row(Port(2))[1], "failed");
    EXPECT_EQ(run.Row(Port(2))[2], "2/16");
    EXPECT_EQ(run.Row(Port(2))[4].rfind("the on-board computer or its adapter went away", 0), 0u);
    EXPECT_NE(run.err.find(Port(0) + ": " + TransferMessageText(TransferMessage::BadChecksum)),
              std::string::npos);
    EXPECT_EQ(run.Last(), "tevr-flash: 1 of 4 boards failed: " + Port(2));
    // The stalled board needs its restart as much: it is named too.
    EXPECT_NE(run.err.find("tevr-flash: 1 of 4 boards stalled: " + Port(1)), std::string::npos)
        << run.err;

    // A stall without a failure ends with status 3.
    for (const auto& sim : sims)
        sim->Stop();
    sims.clear();
    Launch(std::vector<SimOptions>(2));
    boards[1].silentAfter = 0;
    sims.push_back(std::make_unique<BootLoaderSim>(boards[1]));
    sims.back()->Start();
    const FlashRunResult stalled = Flash({"--timeout", "3"});
    EXPECT_EQ(stalled.status, kExitStalled) << stalled.err;
    EXPECT_EQ(stalled.Last(),
              "tevr-flash: 1 of 3 boards stalled: " + Port(2) + "; their ports are closed");
}

TEST_F(ProductionTest, APortThatNeverOpensStillCountsTheBlocksItOwed) {
    Launch({SimOptions{}});
    const std::string missing = folder / "no-such-port";
    const FlashRunResult run = Flash({"--port", missing, "--journal", folder / "journal.jsonl"});
    EXPECT_EQ(run.status, kExitError) << run.err;
    EXPECT_EQ(run.Row(Port(0))[2], "16/16") << run.err;
    EXPECT_EQ(run.Row(missing)[2], "0/16") << run.err;
    for (const nlohmann::json& line : Journal()) {
        EXPECT_EQ(line.value("blocks_total", 0), 16) << line.dump();
        // The cause by its stable name beside the message; none for a board done.
        EXPECT_EQ(line.value("code", "?"),
                  line.value("port", "") == missing ? "port-open-failed" : "")
            << line.dump();
    }
}

TEST_F(ProductionTest, StationFlashesBoardAfterBoardUntilCtrlC) {
    SimOptions station;
    station.repeat = true;
    station.imagePath = folder / "image";
    Launch({station});
    std::thread interrupter([&] {
        for (int i = 0; i < 6000 && sims[0]->BoardsEnded() < 3; ++i)
            std::this_thread::sleep_for(10ms);
        ::kill(::getpid(), SIGINT);
    });
    const FlashRunResult run = Flash({"--repeat", "--journal", folder / "journal.jsonl"});
    interrupter.join();
    EXPECT_EQ(run.status, kExitInterrupted) << run.err;
    const int boards = sims[0]->BoardsEnded();
    ASSERT_GE(boards, 3) << run.err;
    for (int board = 1; board <= 3; ++board) {
        const std::string image = ReadWhole(folder / ("image." + std::to_string(board)));
        ExpectVerified(std::vector<uint8_t>(image.begin(), image.end()));
    }
    EXPECT_EQ(run.Row(Port(0))[1], std::to_string(boards) + " done, 0 failed") << run.err;
    EXPECT_NE(run.Last().find("interrupted (Ctrl-C) after " + std::to_string(boards) + " boards"),
              std::string::npos)
        << run.err;
    // One line for every board; none for the wait that Ctrl-C ended.
    int done = 0;
    for (const nlohmann::json& line : Journal())
        done += line.value("result", "") == "done";
    EXPECT_EQ(done, boards);
}

TEST(ProductionUsage, APortGivenTwiceIsAUsageError) {
    const FlashRun run = TevrFlash({"flash", "a.hex", "--port", "COM1", "--port", "/dev/ttyS0"});
    EXPECT_EQ(run.status, kExitUsage);
    EXPECT_TRUE(run.Mentions("/dev/ttyS0 is given twice")) << run.err;
}

}  // namespace
}  // namespace line_test
