// SPDX-License-Identifier: MIT
#include "loader/TextFile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cerrno>
#include <exception>
#include <vector>

#include "loader/Errors.h"
#include "loader/SystemFile.h"
#include "support/TempFolder.h"

namespace {
// Every line of a file with the given bytes, read as the conversion reads: at least one line, end
// of file tested after each.
std::vector<std::string> ReadAll(const std::string& content) {
    TempFolder dir;
    TextFile file(dir.Write("f.hex", content));
    std::vector<std::string> lines;
    std::string line;
    do {
        file.ReadLine(line);
        lines.push_back(line);
    } while (!file.Eof());
    return lines;
}

using Lines_ = std::vector<std::string>;

TEST(TextFileLines, LineEndsAndLoneCarriageReturns) {
    EXPECT_EQ(ReadAll("a\nb\n"), (Lines_{"a", "b"}));
    EXPECT_EQ(ReadAll("a\r\nb\r\n"), (Lines_{"a", "b"}));
    EXPECT_EQ(ReadAll("a\nb"), (Lines_{"a", "b"})) << "a last line without a line end";
    EXPECT_EQ(ReadAll("a\rb\r\nc\r"), (Lines_{"ab", "c"})) << "a CR without LF is dropped";
    EXPECT_EQ(ReadAll("a\r\r\nb"), (Lines_{"a", "b"}));
}

TEST(TextFileLines, EmptyLinesAndEmptyFile) {
    EXPECT_EQ(ReadAll(""), (Lines_{""})) << "at least one line is read";
    EXPECT_EQ(ReadAll("\n"), (Lines_{""}));
    EXPECT_EQ(ReadAll("a\n\n"), (Lines_{"a", ""})) << "a blank last line is a line of its own";
    EXPECT_EQ(ReadAll("a\n\nb"), (Lines_{"a", "", "b"}));
    EXPECT_EQ(ReadAll("a\n\r"), (Lines_{"a", ""}));
}

TEST(TextFileLines, CtrlZEndsTheFileOrTheLine) {
    EXPECT_EQ(ReadAll("a\n\x1a"), (Lines_{"a"})) << "as the last character";
    EXPECT_EQ(ReadAll("a\x1a"), (Lines_{"a"}));
    EXPECT_EQ(ReadAll("a\n\x1a"
                      "b\nc\n"),
              (Lines_{"a"}))
        << "at the start of a line everything after it is ignored";
    EXPECT_EQ(ReadAll("\x1a"
                      "a\n"),
              (Lines_{""}));
    EXPECT_EQ(ReadAll("ab\x1a"
                      "cd\ne\n"),
              (Lines_{"ab", "e"}))
        << "inside a line it cuts the rest of that line only";
    EXPECT_EQ(ReadAll("ab\x1a"
                      "c\r\n\x1a"
                      "d"),
              (Lines_{"ab"}));
}

TEST(TextFileLines, LongLinesAndBinaryBytesAcrossBufferEdges) {
    // Lines far longer than the read buffer, a CR LF split between two reads, NUL bytes.
    std::string huge(1 << 20, 'x');
    std::string edge(64 * 1024 - 1, 'y');
    std::string junk("\0\xff\x80\t", 4);
    auto lines = ReadAll(huge + "\n" + edge + "\r\n" + junk + "\nz");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], huge);
    EXPECT_EQ(lines[1], edge);
    EXPECT_EQ(lines[2], junk);
    EXPECT_EQ(lines[3], "z");

    std::string crAtEdge(64 * 1024 - 1, 'w');
    EXPECT_EQ(ReadAll(crAtEdge + "\rq\n"), (Lines_{crAtEdge + "q"}));
}

TEST(TextFileLines, ReadingPastTheEndGivesEmptyLines) {
    TempFolder dir;
    TextFile file(dir.Write("f.hex", "a\n"));
    std::string line;
    file.ReadLine(line);
    EXPECT_TRUE(file.Eof());
    file.ReadLine(line);
    EXPECT_EQ(line, "");
    EXPECT_TRUE(file.Eof());
}

TEST(TextFileErrors, OpeningFailuresCarryTheFileErrorMessage) {
    TempFolder dir;
    auto messageOf = [](const std::string& path) -> std::string {
        try {
            TextFile file(path);
        } catch (const EInOutError& e) {
            return e.what();
        }
        return "opened";
    };
    EXPECT_EQ(messageOf((dir / "missing.hex")), "File not found");
    EXPECT_EQ(messageOf(""), "File not found");
    std::string plain = dir.Write("plain.hex", "x");
    EXPECT_EQ(messageOf(plain + "/inside.hex"), "Invalid filename");
    EXPECT_EQ(messageOf((dir / "nofolder/a.hex")), "File not found");
    EXPECT_EQ(messageOf((dir / "")), "File access denied") << "a folder";
    EXPECT_EQ(messageOf(std::string(5000, 'n') + ".hex"), "Invalid filename");
}

TEST(TextFileErrors, TooManyOpenFiles) {
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    TempFolder dir;
    std::string path = dir.Write("f.hex", "x");
    std::vector<std::unique_ptr<TextFile>> open;
    rlimit low = saved;
    low.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
    // The error is looked at, and the files closed, only once descriptors are free again: the
    // sanitizers need one.
    std::exception_ptr error;
    try {
        for (int i = 0; i < 100; ++i)
            open.push_back(std::make_unique<TextFile>(path));
    } catch (...) {
        error = std::current_exception();
    }
    setrlimit(RLIMIT_NOFILE, &saved);
    open.clear();
    std::string message;
    try {
        if (error) std::rethrow_exception(error);
    } catch (const EInOutError& e) {
        message = e.what();
    }
    EXPECT_EQ(message, "Too many open files");
}

TEST(TextFileErrors, OtherErrorNumbersAreIoErrorsEvenWhenTheyLookLikeTableCodes) {
    // EIO's number is the table's "access denied" code; it must still read as an I/O error.
    EXPECT_EQ(FileErrorMessage(EIO), "I/O error " + std::to_string(EIO));
    EXPECT_EQ(FileErrorMessage(EACCES), "File access denied");
}

TEST(TextFileErrors, ReadErrorIsRaisedNotTakenAsEndOfFile) {
    // /proc/self/mem opens but its first page cannot be read.
    std::unique_ptr<TextFile> file;
    try {
        file = std::make_unique<TextFile>("/proc/self/mem");
    } catch (const EInOutError&) {
        GTEST_SKIP() << "/proc/self/mem cannot be opened here";
    }
    std::string message;
    try {
        std::string line;
        file->ReadLine(line);
    } catch (const EInOutError& e) {
        message = e.what();
    }
    EXPECT_EQ(message, "I/O error " + std::to_string(EIO));
}
}  // namespace
