// SPDX-License-Identifier: MIT
// Frames made of script lines: fill, length, checksum, and lines that cannot be sent.
#include <gtest/gtest.h>

#include "TransferTest.h"
#include "loader/Errors.h"
#include "support/Refusals.h"

namespace transfer_test {
namespace {

class FrameTest : public TransferTest {
protected:
    // Runs the handshake and the device's 0xAA that makes line 1 go out.
    void SendLine1(const std::string& line) {
        SetScript({"cmd 01:0000", line});
        Start();
        Handshake();
        Receive({0xAA});
    }
};

TEST_F(FrameTest, EmptyBlockIsAllFill) {
    SendLine1("cmd 02:0000 00 ");
    Bytes expected{0x22, 0x00, 0x00};
    expected.resize(131, 0xFF);
    EXPECT_EQ(LastWrite(), expected);
    EXPECT_EQ(transfer.ExpectedChecksum(), 0x80);  // 128 x 0xFF
    EXPECT_EQ(transfer.CurrentLine().size(), std::string("cmd 02:0000 00 ").size() + 256);
}

TEST_F(FrameTest, FullBlockIsNotFilled) {
    SendLine1(BlockLine("1a80", 0x80, 0x40));
    ASSERT_EQ(LastWrite().size(), 131u);
    EXPECT_EQ(LastWrite()[1], 0x1A);  // lower-case address digits read as well
    EXPECT_EQ(LastWrite()[130], 0xBF);
    unsigned sum = 0;
    for (unsigned b = 0x40; b < 0xC0; ++b)
        sum += b;
    EXPECT_EQ(transfer.ExpectedChecksum(), sum & 0xFF);
}

TEST_F(FrameTest, LongestFrameIs255Bytes) {
    SendLine1(BlockLine("0000", 0xFC, 1));  // 3 + 252 bytes, nothing filled
    EXPECT_EQ(LastWrite().size(), 255u);
    EXPECT_EQ(transfer.EchoLength(), 255);
    EchoLast(100);
    EXPECT_EQ(transfer.TransferState(), TTransferState::tsAwaitingChecksum);
    Receive({transfer.ExpectedChecksum()});
    EXPECT_TRUE(transfer.Completed());
}

TEST_F(FrameTest, FrameOver255BytesIsRefusedAndNothingChanges) {
    SetScript({"cmd 01:0000", BlockLine("0000", 0xFD)});
    Start();
    Handshake();
    const size_t writes = Writes();
    EXPECT_THROW(Receive({0xAA}), EConvertError);
    EXPECT_EQ(Writes(), writes);
    EXPECT_EQ(transfer.TransferState(), TTransferState::tsAwaitingAcknowledge);
    EXPECT_EQ(transfer.ScriptIndex(), 1);
    EXPECT_EQ(observer.gauge.progress, 0);

    // A line sent right after a checksum is measured the same way.
    Stop();
    SetScript({"cmd 01:0000", BlockLine("0000", 0x10), BlockLine("0080", 0xFF)});
    Start();
    Handshake();
    Receive({0xAA});
    EchoLast();
    EXPECT_THROW(Receive({transfer.ExpectedChecksum()}), EConvertError);
    EXPECT_EQ(transfer.TransferState(), TTransferState::tsAwaitingChecksum);
}

TEST_F(FrameTest, BadCountStopsBeforeAnythingChanges) {
    SetScript({"cmd 01:0000", "cmd 02:0000 1G 00"});
    Start();
    Handshake();
    try {
        Receive({0xAA});
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(Describe(e.Problem()), "not-a-number@0 '1G'");
    }
    EXPECT_EQ(transfer.TransferState(), TTransferState::tsAwaitingAcknowledge);
    EXPECT_EQ(observer.gauge.progress, 0);
    EXPECT_EQ(transfer.ScriptIndex(), 1);
}

TEST_F(FrameTest, BadDataPairStopsAfterStateGaugeAndLed) {
    SetScript({"cmd 01:0000", "cmd 02:0000 02 00X1"});
    Start();
    Handshake();
    observer.led = false;
    const size_t writes = Writes();
    try {
        Receive({0xAA});
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(Describe(e.Problem()), "not-a-number@0 'X1'");
    }
    EXPECT_EQ(transfer.TransferState(), TTransferState::tsCollectingEcho);
    EXPECT_EQ(observer.gauge.progress, 1);
    EXPECT_TRUE(observer.led);
    EXPECT_EQ(transfer.ScriptIndex(), 1);
    EXPECT_EQ(Writes(), writes);
}

TEST_F(FrameTest, MissingLinesReadAsEmpty) {
    // A script count beyond the lines held: the empty line fails as "$" at every 0xAA.
    SetScript({"cmd 01:0000"});
    observer.lists.ScriptLineCount = 3;
    Start();
    Handshake();
    for (int i = 0; i < 2; ++i) {
        try {
            Receive({0xAA});
            FAIL() << "no error";
        } catch (const EConvertError& e) {
            EXPECT_EQ(Describe(e.Problem()), "not-a-number@0 ''");
        }
    }
}

TEST_F(FrameTest, BlanksInsideTheDataAreRemoved) {
    // The blank takes a character of the 256 read, so an odd digit is left over and dropped.
    SendLine1("cmd 02:0100 02 A 1B2");
    ASSERT_EQ(LastWrite().size(), 130u);
    EXPECT_EQ(LastWrite()[3], 0xA1);
    EXPECT_EQ(LastWrite()[4], 0xB2);
    EXPECT_EQ(LastWrite()[5], 0xFF);
}

}  // namespace
}  // namespace transfer_test
