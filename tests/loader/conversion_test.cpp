// SPDX-License-Identifier: MIT
#include "loader/Conversion.h"

#include <gtest/gtest.h>

#include <cctype>

#include "files/FileConversion.h"
#include "loader/Errors.h"
#include "loader/RecordList.h"
#include "support/Refusals.h"
#include "support/SampleFiles.h"
#include "support/TempFolder.h"
#include "support/TransferFakes.h"

namespace {
using Lines_ = std::vector<std::string>;

const std::string kWorkedFile =
    ":10000000000102030405060708090A0B0C0D0E0F78\n"
    ":10001000101112131415161718191A1B1C1D1E1F68\n"
    ":10003000303132333435363738393A3B3C3D3E3F48\n"
    ":08008000A0A1A2A3A4A5A6A75C\n"
    ":10020000C0C1C2C3C4C5C6C7C8C9CACBCCCDCECF76\n"
    ":00000001FF\n";

const Lines_ kWorkedRecords{
    "cmd 01:0000",
    "cmd 02:0000 10 000102030405060708090A0B0C0D0E0F",
    "cmd 02:0010 10 101112131415161718191A1B1C1D1E1F",
    "cmd 02:0020 10 00000000000000000000000000000000",
    "cmd 02:0030 10 303132333435363738393A3B3C3D3E3F",
    "cmd 03:0080",
    "cmd 02:0080 08 A0A1A2A3A4A5A6A7",
    "cmd 01:0200",
    "cmd 02:0200 10 C0C1C2C3C4C5C6C7C8C9CACBCCCDCECF",
};

const Lines_ kWorkedScript{
    "cmd 01:0000",
    "cmd 02:0000 40 "
    "000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F0000000000000000"
    "0000000000000000303132333435363738393A3B3C3D3E3F",
    "cmd 02:0080 08 A0A1A2A3A4A5A6A7",
    "cmd 01:0200",
    "cmd 02:0200 10 C0C1C2C3C4C5C6C7C8C9CACBCCCDCECF",
};

// The transfer script of a file with these bytes.
Lines_ ScriptOf(const std::string& content) {
    TempFolder dir;
    ConvertedUpdate lists;
    RecordingGauge gauge;
    ConvertUpdateFile(dir.Write("u.hex", content), lists, gauge);
    EXPECT_EQ(lists.ScriptLineCount, static_cast<int64_t>(lists.transferScript.size()));
    EXPECT_TRUE(lists.recordList.empty());
    return lists.transferScript;
}

Lines_ RecordsOf(const std::string& content) {
    TempFolder dir;
    return ReadRecordList(dir.Write("u.hex", content));
}

// The conversion error's message for a file with these bytes, and what it left behind.
std::string FailureOf(const std::string& content, ConvertedUpdate* left = nullptr) {
    TempFolder dir;
    ConvertedUpdate lists;
    RecordingGauge gauge;
    try {
        ConvertUpdateFile(dir.Write("u.hex", content), lists, gauge);
    } catch (const EConvertError& e) {
        if (left) *left = lists;
        return Describe(e.Problem());
    }
    return "converted";
}

// The lines in lower case, as a file.
std::string LowerCase(std::initializer_list<std::string> lines) {
    std::string text = Lines(lines);
    for (auto& c : text)
        c = static_cast<char>(std::tolower(c));
    return text;
}

std::string Block16(unsigned address, unsigned first) {
    return Record(address, CountingBytes(first, 16));
}

TEST(Conversion, WorkedExampleGivesBothListsCountsAndGaugeRange) {
    EXPECT_EQ(RecordsOf(kWorkedFile), kWorkedRecords);

    TempFolder dir;
    ConvertedUpdate lists;
    lists.recordList = {"old log"};
    lists.transferScript = {"old script"};
    RecordingGauge gauge;
    gauge.progress = 3;
    ConvertUpdateFile(dir.Write("worked.hex", kWorkedFile), lists, gauge);
    EXPECT_EQ(lists.transferScript, kWorkedScript);
    EXPECT_TRUE(lists.recordList.empty());
    EXPECT_EQ(lists.ScriptLineCount, 5);
    EXPECT_EQ(lists.FileLineCount, 6);
    EXPECT_EQ(gauge.maxima, (std::vector<int32_t>{6, 4}));
    EXPECT_EQ(gauge.progress, 3) << "the conversion leaves the progress alone";
}

TEST(Conversion, LineEndsAndCtrlZDoNotChangeTheResult) {
    std::string crlf;
    for (char c : kWorkedFile)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(ScriptOf(crlf), kWorkedScript);
    EXPECT_EQ(ScriptOf(kWorkedFile + "\x1a"), kWorkedScript);
    EXPECT_EQ(ScriptOf(kWorkedFile.substr(0, kWorkedFile.size() - 1)), kWorkedScript);
    for (const char* name : {"worked.hex", "crlf.hex", "ctrl-z.hex"}) {
        ConvertedUpdate lists;
        RecordingGauge gauge;
        ConvertUpdateFile(ExamplePath(name), lists, gauge);
        EXPECT_EQ(lists.transferScript, kWorkedScript) << name;
    }
}

TEST(Conversion, FileWithoutDataIsRefused) {
    // Nothing to write: sending the empty block of line 0 would put 128 bytes FF into the device.
    for (const std::string& content :
         {Lines({kEndOfFile}), Lines({Record(0, {0, 0}, 4), Record(0x40, {}), kEndOfFile})}) {
        ConvertedUpdate left;
        EXPECT_EQ(FailureOf(content, &left), "no-data@0");
        EXPECT_TRUE(left.transferScript.empty());
        EXPECT_EQ(left.ScriptLineCount, 0);
    }
}

TEST(Conversion, FirstDataOutsideTheFirstBlockOrPage) {
    EXPECT_EQ(
        RecordsOf(Lines({Block16(0x80, 0), kEndOfFile})),
        (Lines_{"cmd 01:0000", "cmd 03:0080", "cmd 02:0080 10 000102030405060708090A0B0C0D0E0F"}));
    EXPECT_EQ(ScriptOf(Lines({Block16(0x80, 0), kEndOfFile})),
              (Lines_{"cmd 01:0000", "cmd 02:0000 00 ",
                      "cmd 02:0080 10 000102030405060708090A0B0C0D0E0F"}));
    EXPECT_EQ(ScriptOf(Lines({Block16(0x1000, 0), Block16(0x1080, 0x10), kEndOfFile})),
              (Lines_{"cmd 01:0000", "cmd 02:0000 00 ", "cmd 01:1000",
                      "cmd 02:1000 10 000102030405060708090A0B0C0D0E0F",
                      "cmd 02:1080 10 101112131415161718191A1B1C1D1E1F"}));
    // A page whose first record is not at its base is opened at its base, zeros in front.
    EXPECT_EQ(
        ScriptOf(Lines({Block16(0, 0), Block16(0x210, 0x10)})),
        (Lines_{"cmd 01:0000", "cmd 02:0000 10 000102030405060708090A0B0C0D0E0F", "cmd 01:0200",
                "cmd 02:0200 20 " + std::string(32, '0') + "101112131415161718191A1B1C1D1E1F"}));
    // A page whose data begin in a later block: the page command, then that block alone.
    EXPECT_EQ(ScriptOf(Lines({Block16(0, 0), Block16(0x290, 0x10)})).back(),
              "cmd 02:0280 20 " + std::string(32, '0') + "101112131415161718191A1B1C1D1E1F");
    EXPECT_EQ(ScriptOf(Lines({Block16(0, 0), Block16(0x290, 0x10)}))[2], "cmd 01:0200");
}

TEST(Conversion, FullAndShortBlocks) {
    std::string full;
    std::string data;
    for (unsigned a = 0; a < 0x80; a += 16) {
        full += Block16(a, a) + "\n";
        for (unsigned i = 0; i < 16; ++i) {
            char pair[4];
            std::snprintf(pair, sizeof pair, "%02X", a + i);
            data += pair;
        }
    }
    EXPECT_EQ(ScriptOf(full + kEndOfFile), (Lines_{"cmd 01:0000", "cmd 02:0000 80 " + data}));

    std::string seven;
    for (unsigned a = 0; a < 0x70; a += 16)
        seven += Block16(a, a) + "\n";
    seven += Record(0x70, CountingBytes(0x70, 8)) + "\n" + Block16(0x80, 0) + "\n";
    Lines_ script = ScriptOf(seven);
    ASSERT_EQ(script.size(), 3u);
    EXPECT_EQ(script[1], "cmd 02:0000 78 " + data.substr(0, 2 * 0x78));
}

TEST(Conversion, LetterCaseIsKeptAndCountsAreUpperCase) {
    ConvertedUpdate lists;
    RecordingGauge gauge;
    ConvertUpdateFile(ExamplePath("lowercase.hex"), lists, gauge);
    EXPECT_EQ(lists.transferScript,
              (Lines_{"cmd 01:0000", "cmd 02:0000 00 ",
                      "cmd 02:0180 4A " + std::string(64, '0') +
                          "f0f1f2f3f4f5f6f7f8f9fafbfcfdfefff0f1f2f3f4f5f6f7f8f9fafbfcfdfeff"
                          "abcdefff00010203feed"}));
    EXPECT_EQ(ReadRecordList(ExamplePath("lowercase.hex"))[5],
              "cmd 02:01c0 0a abcdefff00010203feed");
    // A block or page opened by a record at its base keeps the record's address text.
    EXPECT_EQ(RecordsOf(LowerCase({Record(0xa80, {0xab}), Record(0xc00, {0xcd})})),
              (Lines_{"cmd 01:0000", "cmd 01:0A00", "cmd 03:0a80", "cmd 02:0a80 01 ab",
                      "cmd 01:0c00", "cmd 02:0c00 01 cd"}));
    // Filler lines are written in upper case whatever the file's case.
    EXPECT_EQ(RecordsOf(LowerCase(
                  {Record(0xa0, CountingBytes(0xfa, 16)), Record(0xc0, CountingBytes(0, 1))}))[4],
              "cmd 02:00B0 10 00000000000000000000000000000000");
}

TEST(Conversion, WholeSixtyFourKilobyteImage) {
    ConvertedUpdate lists;
    RecordingGauge gauge;
    ConvertUpdateFile(ExamplePath("image-64k.hex"), lists, gauge);
    // Line 0 and the 4 blocks of page 0, then a page line and 4 blocks for each of 127 pages.
    ASSERT_EQ(lists.transferScript.size(), 640u);
    EXPECT_EQ(lists.FileLineCount, 4097);
    EXPECT_EQ(gauge.maxima, (std::vector<int32_t>{4097, 639}));
    for (size_t i = 1; i < lists.transferScript.size(); ++i) {
        const std::string& line = lists.transferScript[i];
        unsigned page = static_cast<unsigned>((i - 1) / 5);
        if ((i - 1) % 5 == 4) {
            char expected[16];
            std::snprintf(expected, sizeof expected, "cmd 01:%04X", (page + 1) * 0x200);
            EXPECT_EQ(line, expected);
        } else {
            EXPECT_EQ(line.substr(0, 15).substr(12), "80 ") << line.substr(0, 16);
            EXPECT_EQ(line.size(), 15u + 256u);
        }
    }
    EXPECT_EQ(lists.transferScript.back().substr(0, 15), "cmd 02:FF80 80 ");
}

TEST(Conversion, BlankLinesAreReadPast) {
    // Before the first record, between records, after the last one and after the end record.
    std::string spaced = "\n \t\r\n";
    for (char c : kWorkedFile)
        spaced += c == '\n' ? std::string("\n\t \n") : std::string(1, c);
    TempFolder dir;
    ConvertedUpdate lists;
    RecordingGauge gauge;
    ConvertUpdateFile(dir.Write("spaced.hex", spaced + "\n"), lists, gauge);
    EXPECT_EQ(lists.transferScript, kWorkedScript);
    EXPECT_EQ(lists.FileLineCount, 15) << "blank lines are lines of the file all the same";

    const std::string records = kWorkedFile.substr(0, kWorkedFile.rfind(':'));
    EXPECT_EQ(ScriptOf(records + "\n"), kWorkedScript) << "a blank last line, no end record";
    EXPECT_EQ(FailureOf("\n  \n" + records + ":1G\n"), "not-a-number@8 '1G'")
        << "a refused line keeps its number in the file";
}

TEST(ConversionErrors, FieldsThatDoNotRead) {
    EXPECT_EQ(FailureOf(":1G000000\n"), "not-a-number@1 '1G'");
    EXPECT_EQ(FailureOf(kWorkedFile + "x1G\n"), "converted") << "after the end record";
    EXPECT_EQ(FailureOf(Lines({Block16(0, 0), "x1G"})), "not-a-number@2 '1G'")
        << "fields come first";
    EXPECT_EQ(FailureOf(":10 0000\n"), "not-a-number@1 ' 000'");
    EXPECT_EQ(FailureOf(":1000G0000102\n"), "not-a-number@1 '00G0'");
    // A field the line ends before has no characters to show.
    EXPECT_EQ(FailureOf(":10\n"), "line-too-short@1");
    EXPECT_EQ(FailureOf(Lines({Block16(0, 0), ":"})), "line-too-short@2");
}

TEST(ConversionErrors, FilesOfOtherKindsAreRefusedAsWhatTheyAre) {
    using namespace std::string_literals;
    for (const std::string& empty : {""s, "\n \t\r\n\n"s, "\n\x1a:00000001FF\n"s})
        EXPECT_EQ(FailureOf(empty), "empty-file@0") << empty;

    const std::pair<std::string, const char*> kinds[] = {
        {"\x7F"
         "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x02\0(\0"s,
         "elf"},
        {"$\x17\x10\0\0 \x02\x08"s, "binary"},
        {"\n\n\x7F\x7F\x7F\n"s, "binary"},
        {"<!DOCTYPE html>\n<html><body>firmware</body></html>\n"s, "html-xml"},
        {"\xEF\xBB\xBF  <?xml version=\"1.0\"?>\n"s, "html-xml"},
        {"S00F000068656C6C6F202020202000003C\nS1130000285F245F2212226A000424290008237C2A\n"s,
         "s-record"},
        {"@F000\n31 40 00 03 B2 40 80 5A\nq\n"s, "ti-txt"},
    };
    for (const auto& [content, format] : kinds)
        EXPECT_EQ(FailureOf(content), std::string("not-intel-hex@0 ") + format) << content;

    // Text of no known kind: its first line that is not blank is no record.
    EXPECT_EQ(FailureOf("; firmware 1.2\n" + kWorkedFile), "no-start-code@1");
    EXPECT_EQ(FailureOf("\n \nhello\n"), "no-start-code@3");
    EXPECT_EQ(FailureOf("Sx" + kWorkedFile), "no-start-code@1");
}

TEST(ConversionErrors, MissingFileEmptiesTheListsAndKeepsTheGauge) {
    TempFolder dir;
    ConvertedUpdate lists;
    lists.recordList = {"x"};
    lists.transferScript = {"cmd 01:0000"};
    lists.ScriptLineCount = 1;
    lists.FileLineCount = 7;
    RecordingGauge gauge;
    try {
        ConvertUpdateFile((dir / "nothere.hex"), lists, gauge);
        FAIL() << "converted a missing file";
    } catch (const EInOutError& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
    EXPECT_TRUE(lists.recordList.empty());
    EXPECT_TRUE(lists.transferScript.empty());
    EXPECT_EQ(lists.ScriptLineCount, 0);
    EXPECT_EQ(lists.FileLineCount, 7);
    EXPECT_TRUE(gauge.maxima.empty());
}

TEST(HexExtension, OnlyHexInAnyCase) {
    for (const char* name : {"a.hex", "a.Hex", "a.HEX", "dir.x/fw.hEx", "C:\\fw\\a.hex", ".hex"}) {
        EXPECT_TRUE(HasHexExtension(name)) << name;
    }
    for (const char* name : {"a", "a.hx", "a.hexx", "a.he", "hex", "a.hex.bak", "C:\\x.hex\\fw",
                             "x.he:x", "", "a.hex "}) {
        EXPECT_FALSE(HasHexExtension(name)) << name;
    }
}
}  // namespace
