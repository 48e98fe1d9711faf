// SPDX-License-Identifier: MIT
// Starting and stopping: refused starts, failing ports, and a second transfer after one switched
// off in the middle.
#include <gtest/gtest.h>

#include "TransferTest.h"

namespace transfer_test {
namespace {

TEST_F(TransferTest, StartWithoutScriptIsRefused) {
    // Nothing converted, or the last conversion failed.
    SetScript({});
    Start();
    EXPECT_EQ(journal, (Journal{"message NoScript", "button off"}));
    EXPECT_FALSE(port.open);
    EXPECT_FALSE(transfer.Running());
}

TEST_F(TransferTest, PortThatFailsToOpenLeavesButtonOnAndStateAlone) {
    SetScript(kWorkedScript);
    Start();
    Receive({0x55});
    Stop();
    port.openError = "Specified device not found (/dev/ttyS9).";
    EXPECT_THROW(Start(), std::runtime_error);
    EXPECT_TRUE(observer.button);
    EXPECT_EQ(transfer.LinkState(), TLinkState::lsGreetingAnswered);
    EXPECT_FALSE(transfer.Running());

    Stop();  // the user's next click
    EXPECT_EQ(observer.gauge.progress, 0);
}

TEST_F(TransferTest, PortOpenedThenFailingCountsAsRunning) {
    // The port stays open and its events go on: the window must keep refusing conversions.
    SetScript(kWorkedScript);
    port.dtrError = "Error calling comm function (5), Input/output error";
    EXPECT_THROW(Start(), std::runtime_error);
    EXPECT_TRUE(port.open);
    EXPECT_TRUE(transfer.Running());
    Stop();
    EXPECT_FALSE(port.open);
    EXPECT_FALSE(transfer.Running());
}

TEST_F(TransferTest, StopClosesAndClearsGaugeButKeepsLedAndState) {
    SetScript({"cmd 01:0000", BlockLine("0000", 0x80), BlockLine("0080", 0x80)});
    Start();
    Handshake();
    Receive({0xAA});
    EchoLast();
    journal.clear();
    Stop();
    EXPECT_EQ(journal, (Journal{"close", "progress 0", "finished switched off"}));
    EXPECT_TRUE(observer.led);
    EXPECT_EQ(transfer.TransferState(), TTransferState::tsAwaitingChecksum);
    EXPECT_EQ(transfer.ScriptIndex(), 2);
}

// Switched off while a block's echo or checksum was awaited, the next transfer must still see
// the device's greeting as a greeting.
class RestartTest : public TransferTest, public ::testing::WithParamInterface<size_t> {};

TEST_P(RestartTest, SecondTransferRunsCleanly) {
    SetScript({"cmd 01:0000", BlockLine("0000", 0x80), BlockLine("0080", 0x80)});
    Start();
    Handshake();
    Receive({0xAA});
    const Bytes frame = LastWrite();
    Receive(Bytes(frame.data(), frame.data() + GetParam()));  // part or all of the echo
    EXPECT_EQ(transfer.TransferState(), GetParam() == frame.size()
                                            ? TTransferState::tsAwaitingChecksum
                                            : TTransferState::tsCollectingEcho);
    Stop();

    port.written.clear();
    Start();
    EXPECT_EQ(transfer.TransferState(), TTransferState::tsNothingSent);
    EXPECT_EQ(transfer.LinkState(), TLinkState::lsNoGreeting);
    EXPECT_EQ(transfer.EchoCount(), 0);
    Receive({0x55});
    ASSERT_EQ(Writes(), 1u);
    EXPECT_EQ(LastWrite(), (Bytes{0x55, 0x33, 0xCC}));
    EchoLast();
    Receive({0xAA});
    EchoLast();
    Receive({0xAA});
    EXPECT_EQ(LastWrite()[2], 0x00);  // from line 1 again
    EchoLast();
    Receive({transfer.ExpectedChecksum()});
    EchoLast();
    Receive({transfer.ExpectedChecksum()});
    EXPECT_TRUE(transfer.Completed());
    EXPECT_EQ(observer.messages.back(), TransferMessage::Done);
}

INSTANTIATE_TEST_SUITE_P(EchoReceived, RestartTest, ::testing::Values(50, 131));

}  // namespace
}  // namespace transfer_test
