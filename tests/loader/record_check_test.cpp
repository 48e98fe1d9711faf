// SPDX-License-Identifier: MIT
// Record lines the conversion checks and refuses, record types, and data that must land at its own
// address whatever the record lengths.
#include <gtest/gtest.h>

#include "files/FileConversion.h"
#include "loader/Conversion.h"
#include "loader/Errors.h"
#include "loader/RecordList.h"
#include "loader/TransferScript.h"
#include "loader/UpdateImage.h"
#include "support/Refusals.h"
#include "support/SampleFiles.h"
#include "support/TempFolder.h"
#include "support/TransferFakes.h"

namespace {
using Lines_ = std::vector<std::string>;

Lines_ RecordsOf(const Lines_& fileLines) {
    UpdateImageReader reader;
    for (const auto& line : fileLines)
        if (!reader.AddLine(line)) break;
    return BuildRecordList(reader.Image());
}

Lines_ ScriptOf(const Lines_& fileLines) {
    return BuildTransferScript(RecordsOf(fileLines));
}

std::string RefusalOf(const Lines_& fileLines) {
    return RefusalIn([&] { RecordsOf(fileLines); });
}

const std::string kGood = Record(0, CountingBytes(0, 16));
const std::string kZeros16(32, '0');

TEST(RecordChecks, MalformedRecordLinesAreRefusedWithTheirLineNumber) {
    EXPECT_EQ(RefusalOf({kGood, ";" + kGood.substr(1)}), "no-start-code@2");
    EXPECT_EQ(RefusalOf({kGood, kGood.substr(0, kGood.size() - 1)}), "line-too-short@2");
    EXPECT_EQ(RefusalOf({":1"}), "line-too-short@1") << "an address field the line ends before";
    EXPECT_EQ(RefusalOf({":1000"}), "line-too-short@1")
        << "an address field cut short by the line end";
    std::string badData = kGood;
    badData[12] = 'x';
    EXPECT_EQ(RefusalOf({badData}), "not-hexadecimal@1");
    std::string badType = kGood;
    badType[8] = ' ';
    EXPECT_EQ(RefusalOf({badType}), "not-hexadecimal@1");
    EXPECT_EQ(RefusalOf({kGood, Record(0x10, CountingBytes(0x10, 16)),
                         ":10002000000102030405060708090A0B0C0D0E0F00"}),
              "wrong-record-checksum@3");
    EXPECT_EQ(RefusalOf({":00000001FE"}), "wrong-record-checksum@1");
    // Blanks and tabs after the checksum are not part of the record; anything else is refused,
    // so that no line is ever flashed in part.
    EXPECT_EQ(RecordsOf({kGood + " \t "}).size(), 2u);
    EXPECT_EQ(RefusalOf({kGood, kGood + " x"}), "text-after-record@2");
    EXPECT_EQ(RefusalOf({kGood + Record(0x10, CountingBytes(0x10, 16))}),
              "second-record-on-line@1");
    EXPECT_EQ(RefusalOf({kGood, kGood, ":1G"}), "not-a-number@3 '1G'");
}

TEST(RecordChecks, ChecksumIsTestedWithLowerCaseDigitsToo) {
    std::string lower = Record(0x1a0, CountingBytes(0xf0, 16));
    for (auto& c : lower)
        c = static_cast<char>(std::tolower(c));
    EXPECT_EQ(RecordsOf({lower}).back(), "cmd 02:01a0 10 f0f1f2f3f4f5f6f7f8f9fafbfcfdfeff");
}

TEST(RecordTypes, AddressAndEndRecordsCarryNoData) {
    // Extended addresses and start addresses are never taken as data.
    Lines_ records = RecordsOf({Record(0, {0, 0}, 4), Record(0, {0, 0}, 2), kGood,
                                Record(0, {0x12, 0x34, 0x56, 0x78}, 3),
                                Record(0, {0, 0, 0x7e, 0}, 5), kEndOfFile});
    EXPECT_EQ(records, (Lines_{"cmd 01:0000", "cmd 02:0000 10 000102030405060708090A0B0C0D0E0F"}));

    EXPECT_EQ(RefusalOf({Record(0, {0}, 4)}), "address-record-length@1");
    EXPECT_EQ(RefusalOf({Record(0, {1, 2}, 1)}), "end-record-with-data@1");
    EXPECT_EQ(RefusalOf({kGood, Record(0x10, CountingBytes(0, 16), 6)}),
              "unknown-record-type@2 06");
    EXPECT_EQ(RefusalOf({Record(0x10, {}, 0xFF)}), "unknown-record-type@1 FF");
}

TEST(RecordTypes, ExtendedAddressesPlaceDataAtTheirAbsoluteAddress) {
    // A segment of 0100 puts the record's 0000 at 1000; a zero linear base changes nothing.
    EXPECT_EQ(RecordsOf({Record(0, {0x01, 0x00}, 2), Record(0, {0xAB})}),
              (Lines_{"cmd 01:0000", "cmd 01:1000", "cmd 02:1000 01 AB"}));
    EXPECT_EQ(RecordsOf({Record(0, {0, 0}, 4), Record(0x400E, {0xF7, 0x3F})}).back(),
              "cmd 02:400E 02 F73F");
    // Anything at 10000 or above is out of the device's reach, however it got there.
    EXPECT_EQ(RefusalOf({kGood, Record(0, {0, 1}, 4), Record(0, {1})}), "outside-memory@3 10000");
    EXPECT_EQ(RefusalOf({Record(0, {0x10, 0}, 2), Record(0, {1})}), "outside-memory@2 10000");
    EXPECT_EQ(RefusalOf({Record(0xFFF0, CountingBytes(0, 32))}), "outside-memory@1 10000");
    EXPECT_EQ(RefusalOf({Record(0, {0xFF, 0xFF}, 4), Record(0xFFFF, {1})}),
              "outside-memory@2 FFFFFFFF");
    // A non-zero base that no data record uses is harmless.
    EXPECT_EQ(RecordsOf({kGood, Record(0, {0, 1}, 4), Record(0, {0x12, 0x34, 0, 0}, 5)}).size(),
              2u);
}

TEST(RecordAddresses, ShortRecordsFollowEachOtherWithoutFiller) {
    // Twelve-byte records: each lands right after the one before.
    Lines_ script = ScriptOf({Record(0, CountingBytes(0, 12)), Record(12, CountingBytes(12, 12)),
                              Record(24, CountingBytes(24, 12)), Record(0x7FFE, {4, 4})});
    EXPECT_EQ(script,
              (Lines_{"cmd 01:0000",
                      "cmd 02:0000 24 000102030405060708090A0B0C0D0E0F101112131415161718191A"
                      "1B1C1D1E1F20212223",
                      "cmd 01:7E00", "cmd 02:7F80 80 " + std::string(252, '0') + "0404"}));
}

TEST(RecordAddresses, GapsAreFilledInFullWithZeros) {
    // One missing 16-byte record: the same filler line as ever.
    EXPECT_EQ(RecordsOf({kGood, Record(0x20, CountingBytes(0x20, 16))})[2],
              "cmd 02:0010 10 " + kZeros16);
    // Three missing records: one filler line for all 48 bytes.
    Lines_ records = RecordsOf({kGood, Record(0x40, CountingBytes(0x40, 16))});
    EXPECT_EQ(records[2], "cmd 02:0010 30 " + std::string(96, '0'));
    EXPECT_EQ(records[3].substr(0, 15), "cmd 02:0040 10 ");
    // An odd gap after a short record, and data at the start of block 0 missing.
    EXPECT_EQ(RecordsOf({Record(0, CountingBytes(0, 5)), Record(8, CountingBytes(8, 4))})[2],
              "cmd 02:0005 03 000000");
    EXPECT_EQ(RecordsOf({Record(0x40, CountingBytes(0, 16))})[1],
              "cmd 02:0000 40 " + std::string(128, '0'));

    Lines_ script =
        ScriptOf({kGood, Record(0x40, CountingBytes(0x40, 16)), Record(0x7C, {1, 2, 3, 4})});
    ASSERT_EQ(script.size(), 2u);
    EXPECT_EQ(script[1].substr(12, 3), "80 ");
    EXPECT_EQ(script[1].size(), 15u + 256u);
    EXPECT_EQ(script[1].substr(script[1].size() - 8), "01020304");
}

TEST(RecordAddresses, AnyOrderAndBlockCrossingKeepEveryByteAtItsAddress) {
    // Vectors before the code, a record across a block boundary, and one across a page boundary.
    EXPECT_EQ(ScriptOf({Record(0x210, {0xEE}), Record(0x7C, CountingBytes(0x7C, 8)),
                        Record(0x1FE, {0xA1, 0xA2, 0xA3}), Record(0, {0x11})}),
              (Lines_{"cmd 01:0000", "cmd 02:0000 80 11" + std::string(246, '0') + "7C7D7E7F",
                      "cmd 02:0080 04 80818283", "cmd 02:0180 80 " + std::string(252, '0') + "A1A2",
                      "cmd 01:0200", "cmd 02:0200 11 A3" + std::string(30, '0') + "EE"}));
    // The list says which record pieces made each block.
    EXPECT_EQ(RecordsOf({Record(0x7C, CountingBytes(0x7C, 8)), Record(0, {0x11})}),
              (Lines_{"cmd 01:0000", "cmd 02:0000 01 11", "cmd 02:0001 7B " + std::string(246, '0'),
                      "cmd 02:007C 04 7C7D7E7F", "cmd 03:0080", "cmd 02:0080 04 80818283"}));
}

TEST(RecordAddresses, BytesGivenTwiceMustAgree) {
    EXPECT_EQ(RecordsOf({kGood, Record(0x08, CountingBytes(8, 16)), kGood}),
              (Lines_{"cmd 01:0000", "cmd 02:0000 10 000102030405060708090A0B0C0D0E0F",
                      "cmd 02:0010 08 1011121314151617"}));
    EXPECT_EQ(RefusalOf({kGood, Record(0x20, {1}), Record(0x0E, {0x0E, 0x0E})}),
              "byte-given-twice@3 000F 0F 0E");
}

TEST(RecordAddresses, ToolChainOutputConvertsToItsOwnAddresses) {
    ConvertedUpdate lists;
    RecordingGauge gauge;
    ConvertUpdateFile(ExamplePath("short-records.hex"), lists, gauge);
    ASSERT_EQ(lists.transferScript.size(), 4u);
    EXPECT_EQ(lists.transferScript[1].substr(0, 15), "cmd 02:0000 60 ");
    EXPECT_EQ(lists.transferScript[2], "cmd 01:7E00");
    EXPECT_EQ(lists.transferScript[3].substr(0, 15), "cmd 02:7F80 80 ");

    ConvertUpdateFile(ExamplePath("gap.hex"), lists, gauge);
    ASSERT_EQ(lists.transferScript.size(), 6u);
    EXPECT_EQ(lists.transferScript[4], "cmd 01:0400");
    EXPECT_EQ(lists.transferScript[5],
              "cmd 02:0400 30 " + kZeros16 +
                  "101112131415161718191A1B1C1D1E1F202122232425262728292A2B2C2D2E2F");
    EXPECT_EQ(lists.transferScript[3].substr(15 + 2 * 0x40, 2 * 0x30), std::string(96, '0'));
    EXPECT_EQ(lists.transferScript[3].substr(15 + 2 * 0x70), "707172737475767778797A7B7C7D7E7F");
}

TEST(FailedConversion, LeavesNoPartialScript) {
    TempFolder dir;
    ConvertedUpdate lists;
    RecordingGauge gauge;
    ConvertUpdateFile(ExamplePath("worked.hex"), lists, gauge);
    ASSERT_EQ(lists.ScriptLineCount, 5);

    // A refusal deep in the file, after many records made it into the record list.
    std::string content;
    for (unsigned a = 0; a < 0x400; a += 16)
        content += Record(a, CountingBytes(a, 16)) + "\n";
    content += ":10040000000102030405060708090A0B0C0D0E0F00\n";
    EXPECT_THROW(ConvertUpdateFile(dir.Write("bad.hex", content), lists, gauge), EConvertError);
    EXPECT_TRUE(lists.recordList.empty());
    EXPECT_TRUE(lists.transferScript.empty());
    EXPECT_EQ(lists.ScriptLineCount, 0);
    EXPECT_EQ(lists.FileLineCount, 65);
    EXPECT_EQ(gauge.maxima.back(), 65) << "the gauge keeps the range from the line count";

    // The same for the field errors that stop the first pass; the lines after them still count.
    ConvertUpdateFile(ExamplePath("worked.hex"), lists, gauge);
    std::string badField = content.substr(0, content.rfind(':')) + ":1G\n" + kEndOfFile + "\n";
    EXPECT_THROW(ConvertUpdateFile(dir.Write("field.hex", badField), lists, gauge), EConvertError);
    EXPECT_TRUE(lists.transferScript.empty());
    EXPECT_EQ(lists.ScriptLineCount, 0);
    EXPECT_EQ(lists.FileLineCount, 66);
}
}  // namespace
