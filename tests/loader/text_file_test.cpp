// SPDX-License-Identifier: MIT
#include "loader/TextFile.h"

#include <gtest/gtest.h>

#include <vector>

#include "loader/Errors.h"
#include "support/Refusals.h"
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
    // Lines far longer than the read buffer, a CR LF split between two reads, NUL bytes and the
    // other control bytes around the line ends and Ctrl-Z.
    std::string huge(1 << 20, 'x');
    std::string edge(64 * 1024 - 1, 'y');
    std::string junk("\0\xff\x80\t\x0b\x0c\x0e\x19\x1b", 9);
    auto lines = ReadAll(huge + "\n" + edge + "\r\n" + junk + "\nz");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], huge);
    EXPECT_EQ(lines[1], edge);
    EXPECT_EQ(lines[2], junk);
    EXPECT_EQ(lines[3], "z");

    std::string crAtEdge(64 * 1024 - 1, 'w');
    EXPECT_EQ(ReadAll(crAtEdge + "\rq\n"), (Lines_{crAtEdge + "q"}));
}

TEST(TextFileLines, AFileWithoutLfEndsItsLinesAtItsCrs) {
    EXPECT_EQ(ReadAll("a\rb\r"), (Lines_{"a", "b"}));
    EXPECT_EQ(ReadAll("a\r\rb"), (Lines_{"a", "", "b"}));
    EXPECT_EQ(ReadAll("ab\x1a"
                      "c\rd\r\x1a"
                      "e\r"),
              (Lines_{"ab", "d"}))
        << "Ctrl-Z cuts the rest of a CR line";
    EXPECT_EQ(ReadAll("a\rb\nc\r"), (Lines_{"ab", "c"})) << "one LF keeps the CRs dropped";
}

std::string Utf16(std::string_view ascii, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : ascii) {
        out += bigEndian ? '\0' : c;
        out += bigEndian ? c : '\0';
    }
    return out;
}

std::string RefusalOf(const std::string& content) {
    return RefusalIn([&] { ReadAll(content); });
}

TEST(TextFileEncodings, MarkedTextIsReadAsTheTextItIs) {
    EXPECT_EQ(ReadAll("\xEF\xBB\xBF:00\r\nb\r\n"), (Lines_{":00", "b"}));
    EXPECT_EQ(ReadAll(Utf16(":00\r\nb\r\n", false)), (Lines_{":00", "b"}));
    EXPECT_EQ(ReadAll(Utf16(":00\rb", true)), (Lines_{":00", "b"}));
    // An unpaired surrogate and an odd last byte read as replacement characters, which no field
    // takes.
    EXPECT_EQ(ReadAll(std::string("\xFF\xFE"
                                  "a\0\0\xD8\n\0x",
                                  9)),
              (Lines_{"a\xEF\xBF\xBD", "\xEF\xBF\xBD"}));
    // Cyrillic in UTF-16 comes out as UTF-8.
    EXPECT_EQ(ReadAll(std::string("\xFF\xFE\x16\x04", 4)), (Lines_{"\xD0\x96"}));

    EXPECT_EQ(RefusalOf(std::string("\xFF\xFE\0\0:\0\0\0", 8)), "foreign-encoding@0 'UTF-32LE'");
    EXPECT_EQ(RefusalOf(std::string(":\0"
                                    "0\0",
                                    4)),
              "unmarked-utf16@0 'UTF-16LE'");
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
}  // namespace
