// SPDX-License-Identifier: MIT
// Switching the start button on and off: refused starts, failing ports, and a second transfer
// after one switched off in the middle.
#include <gtest/gtest.h>

#include "TransferTest.h"
#include "loader/Errors.h"
#include "support/TempFolder.h"

namespace transfer_test {
namespace {

TEST_F(TransferTest, StartWithoutFileOrScriptIsRefused) {
    SetScript(kWorkedScript);
    host.edit1.clear();
    Start();
    EXPECT_EQ(journal, (Journal{"message Ошибка: файл обновления не выбран", "button off"}));

    // A name but no converted script (nothing converted, or the last conversion failed).
    journal.clear();
    host.edit1 = "update.bin";
    SetScript({});
    Start();
    EXPECT_EQ(journal, (Journal{"message Ошибка: файл обновления не выбран", "button off"}));
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
    EXPECT_TRUE(host.button);
    EXPECT_EQ(transfer.LinkState(), TLinkState::lsGreetingAnswered);
    EXPECT_FALSE(transfer.Running());

    Stop();  // the user's next click
    EXPECT_EQ(host.gauge.progress, 0);
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
    EXPECT_TRUE(host.led);
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
    Receive(Bytes(frame.begin(), frame.begin() + GetParam()));  // part or all of the echo
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
    EXPECT_EQ(host.messages.back(), "Обновление ПО в Тевр R7 завершено");
}

INSTANTIATE_TEST_SUITE_P(EchoReceived, RestartTest, ::testing::Values(50, 131));

class HexFileStartTest : public TransferTest {
protected:
    void SetUp() override { SetScript(kWorkedScript); }
    TempFolder dir;
};

TEST_F(HexFileStartTest, MissingHexFileIsReportedButTransferGoesAhead) {
    host.edit1 = dir / "gone.Hex";
    try {
        Start();
        FAIL() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
    EXPECT_TRUE(port.open);
    EXPECT_TRUE(transfer.Running());
    Receive({0x55});
    EXPECT_EQ(Writes(), 1u);
}

TEST_F(HexFileStartTest, OnlyHexFilesAreOpened) {
    host.edit1 = dir / "gone.bin";
    EXPECT_NO_THROW(Start());
    Stop();
    host.edit1 = dir.Write("present.hex", ":00000001FF\n");
    EXPECT_NO_THROW(Start());
    EXPECT_TRUE(port.open);
}

}  // namespace
}  // namespace transfer_test
