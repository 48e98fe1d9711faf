// SPDX-License-Identifier: MIT
// Telling the tool's own echo from the device's answers, however the line cuts the bytes into
// receive events, and reading events of any size.
#include <gtest/gtest.h>

#include "TransferTest.h"

namespace transfer_test {
namespace {

const std::vector<std::string> kPageAA00Script{"cmd 01:0000", BlockLine("0000", 0x80),
                                               "cmd 01:AA00", BlockLine("AA00", 0x80, 7)};

TEST_F(TransferTest, PageAtAA00IsNotItsOwnAcknowledge) {
    SetScript(kPageAA00Script);
    Start();
    Handshake();
    Receive({0xAA});
    EchoLast();
    Receive({transfer.ExpectedChecksum()});
    ASSERT_EQ(LastWrite(), (Bytes{0x11, 0xAA, 0x00}));

    Receive({0x11});
    Receive({0xAA, 0x00});  // the address byte starts an event, but it is echo
    EXPECT_EQ(Writes(), 4u);
    EXPECT_EQ(transfer.TransferState(), TTransferState::tsAwaitingAcknowledge);
    EXPECT_EQ(Log().back(), LogLine({0xAA, 0x00}));

    Receive({0xAA});  // the device's acknowledgement
    ASSERT_EQ(Writes(), 5u);
    EXPECT_EQ(LastWrite()[1], 0xAA);
    EXPECT_EQ(LastWrite()[3], 7);
}

TEST_F(TransferTest, EchoOfEveryFrameIsCountedBeforeAnswers) {
    // Each echo split so that a later piece begins with a byte the device could send.
    SetScript(kWorkedScript);
    Start();
    Receive({0x55});
    Receive({0x55});  // echo, not a repeated greeting (the link state says so either way)
    Receive({0x33, 0xCC});
    EXPECT_EQ(transfer.EchoPending(), 0u);
    Receive({0xAA});
    Receive({0x11, 0x00});
    EXPECT_EQ(transfer.EchoPending(), 1u);
    Receive({0x00});
    EXPECT_EQ(Writes(), 2u);
    Receive({0xAA});
    EXPECT_EQ(Writes(), 3u);
}

TEST_F(TransferTest, AnswerInTheSameEventAsTheEchoTail) {
    SetScript({"cmd 01:0000", BlockLine("0000", 0x80), "cmd 01:0200", BlockLine("0200", 0x80)});
    Start();
    Receive({0x55});
    Receive({0x55, 0x33, 0xCC, 0xAA});  // greeting answer's echo and the second greeting
    ASSERT_EQ(Writes(), 2u);
    Receive({0x11, 0x00, 0x00, 0xAA});  // first page command's echo and its acknowledgement
    ASSERT_EQ(Writes(), 3u);

    Bytes tail(LastWrite().begin() + 100, LastWrite().end());
    Receive(Bytes(LastWrite().begin(), LastWrite().begin() + 100));
    tail.push_back(transfer.ExpectedChecksum());
    Receive(tail);  // end of the block's echo and the checksum
    ASSERT_EQ(Writes(), 4u);
    EXPECT_EQ(LastWrite(), (Bytes{0x11, 0x02, 0x00}));

    Bytes pageEcho = LastWrite();
    pageEcho.push_back(0xAA);
    Receive(pageEcho);
    ASSERT_EQ(Writes(), 5u);

    Bytes blockEcho = LastWrite();
    blockEcho.push_back(0x00);  // a wrong checksum is reported even when merged
    Receive(blockEcho);
    EXPECT_EQ(observer.messages, (std::vector<TransferMessage>{TransferMessage::BadChecksum}));

    // One line per collected echo, one per answer.
    const std::vector<std::string>& log = Log();
    ASSERT_EQ(log.size(), 11u);
    EXPECT_EQ(log[1], LogLine({0x55, 0x33, 0xCC}));
    EXPECT_EQ(log[2], LogLine({0xAA}));
    EXPECT_EQ(log[3], LogLine({0x11, 0x00, 0x00}));
    EXPECT_EQ(log[4], LogLine({0xAA}));
    EXPECT_EQ(log[5].size(), 5u + 131 * 3);
    EXPECT_EQ(log[6], LogLine({tail.back()}));
    EXPECT_EQ(log[7], LogLine({0x11, 0x02, 0x00}));
    EXPECT_EQ(log[8], LogLine({0xAA}));
    EXPECT_EQ(log[10], LogLine({0x00}));
}

TEST_F(TransferTest, EchoThatDiffersFromTheFrameIsALineFault) {
    SetScript({"cmd 01:0000", BlockLine("0000", 0x80), BlockLine("0080", 0x80)});
    Start();
    Handshake();
    Receive({0xAA});
    // The first byte lost: the echo no longer lines up with the frame.
    Bytes echo(LastWrite().begin() + 1, LastWrite().end());
    echo.push_back(transfer.ExpectedChecksum());
    const size_t logged = Log().size();
    Receive(echo);
    EXPECT_EQ(observer.messages, std::vector<TransferMessage>{TransferMessage::EchoMismatch});
    EXPECT_EQ(transfer.Ending(), TransferEnding::EchoMismatch);
    EXPECT_EQ(Log().size(), logged + 1) << "what came is logged";
    // At rest, as a switch-off leaves it, the LED off too.
    EXPECT_FALSE(transfer.Running());
    EXPECT_FALSE(port.open);
    EXPECT_FALSE(observer.button);
    EXPECT_FALSE(observer.led);
    EXPECT_EQ(observer.gauge.progress, 0);
    EXPECT_EQ(Writes(), 3u);
}

TEST_F(TransferTest, ChangedByteInAShortEchoIsALineFaultToo) {
    SetScript(kWorkedScript);
    Start();
    Receive({0x55});
    Receive({0x55});
    Receive({0x55, 0x33, 0xCC});  // a greeting before the answer's echo is the device's own
    EXPECT_TRUE(observer.messages.empty());
    Receive({0xAA});
    Receive({0x11, 0x00, 0x01});  // the page command's echo, one bit changed
    EXPECT_EQ(observer.messages, std::vector<TransferMessage>{TransferMessage::EchoMismatch});
    EXPECT_FALSE(port.open);
    Receive({0xAA});  // whatever still comes sends nothing
    EXPECT_EQ(Writes(), 2u);
}

TEST_F(TransferTest, DeviceGoneEndsARunningTransferAtRestOnce) {
    SetScript(kWorkedScript);
    transfer.DeviceGone();  // nothing runs: nothing to say
    EXPECT_TRUE(observer.messages.empty());
    Start();
    Handshake();
    transfer.DeviceGone();
    transfer.DeviceGone();
    EXPECT_EQ(observer.messages, std::vector<TransferMessage>{TransferMessage::DeviceGone});
    EXPECT_EQ(transfer.Ending(), TransferEnding::DeviceGone);
    EXPECT_FALSE(port.open);
    EXPECT_FALSE(observer.button);
    EXPECT_FALSE(observer.led);
    // A new start works from scratch.
    Start();
    EXPECT_EQ(transfer.Ending(), TransferEnding::Running);
    Handshake();
    EXPECT_EQ(Writes(), 4u);
}

TEST_F(TransferTest, LargeEventIsReadWhole) {
    SetScript(kWorkedScript);
    Start();
    Bytes flood(5000, 0x00);
    flood[0] = 0x55;
    flood[4999] = 0xEE;
    Receive(flood);
    EXPECT_TRUE(port.input.empty());
    EXPECT_EQ(Log().back().size(), 5u + 5000 * 3);
    EXPECT_EQ(Log().back().substr(Log().back().size() - 3), " EE");
    EXPECT_EQ(Writes(), 1u);
}

TEST_F(TransferTest, OnlyTheBytesReadBelongToTheEvent) {
    SetScript(kWorkedScript);
    Start();
    port.input = {0x55, 0x01};
    transfer.Receive(10);  // announces more than is waiting
    EXPECT_EQ(Log().back(), LogLine({0x55, 0x01}));

    port.readLimit = 0;  // nothing read: the event is ignored
    port.input = {0xAA};
    transfer.Receive(1);
    EXPECT_EQ(Log().size(), 1u);

    const int reads = port.reads;
    transfer.Receive(0);
    transfer.Receive(-5);
    EXPECT_EQ(port.reads, reads);
}

TEST_F(TransferTest, HugeAnnouncedCountAllocatesOnlyWhatIsRead) {
    SetScript(kWorkedScript);
    Start();
    port.input = {0x55};
    transfer.Receive(INT32_MAX);
    EXPECT_EQ(Log().back(), LogLine({0x55}));
    EXPECT_EQ(Writes(), 1u);
}

}  // namespace
}  // namespace transfer_test
