// SPDX-License-Identifier: MIT
// The normal exchange with the boot loader, event by event, as the device and the line deliver it.
#include <gtest/gtest.h>

#include "TransferTest.h"

namespace transfer_test {
namespace {

TEST_F(TransferTest, WorkedExchangeByteForByte) {
    SetScript(kWorkedScript);
    Start();
    EXPECT_EQ(port.deviceName, "COM3");
    EXPECT_TRUE(port.open);
    EXPECT_FALSE(port.dtr);

    Receive({0x55});
    EXPECT_TRUE(observer.led);
    EXPECT_EQ(transfer.LinkState(), TLinkState::lsGreetingAnswered);
    ASSERT_EQ(Writes(), 1u);
    EXPECT_EQ(LastWrite(), (Bytes{0x55, 0x33, 0xCC}));

    // The greeting answer's echo in two events: each is logged, neither causes anything.
    Receive({0x55, 0x33});
    Receive({0xCC});
    EXPECT_EQ(Writes(), 1u);

    Receive({0xAA});
    EXPECT_EQ(transfer.LinkState(), TLinkState::lsScriptUnderWay);
    EXPECT_EQ(transfer.TransferState(), TTransferState::tsAwaitingAcknowledge);
    ASSERT_EQ(Writes(), 2u);
    EXPECT_EQ(LastWrite(), (Bytes{0x11, 0x00, 0x00}));
    EXPECT_EQ(observer.gauge.progress, 0);  // the first page command stands for line 0

    EchoLast();
    Receive({0xAA});
    ASSERT_EQ(Writes(), 3u);
    EXPECT_EQ(LastWrite(), WorkedBlockFrame());
    EXPECT_EQ(transfer.TransferState(), TTransferState::tsCollectingEcho);
    EXPECT_EQ(transfer.EchoLength(), 131);
    EXPECT_EQ(transfer.ScriptIndex(), 2);
    EXPECT_EQ(transfer.ExpectedChecksum(), 0x18);
    EXPECT_EQ(observer.gauge.progress, 1);

    const size_t logBeforeEcho = Log().size();
    EchoLast(40);  // 40 + 40 + 40 + 11 bytes
    EXPECT_EQ(Log().size(), logBeforeEcho + 1);
    EXPECT_EQ(transfer.TransferState(), TTransferState::tsAwaitingChecksum);

    journal.clear();
    Receive({0x18});
    EXPECT_EQ(LastWrite(), (Bytes{0x99, 0x00, 0x00}));
    EXPECT_EQ(journal, (Journal{"write 3", "finished completed", "message Done", "button off",
                                "close", "led off", "progress 0"}));
    EXPECT_EQ(transfer.LinkState(), TLinkState::lsNoGreeting);
    EXPECT_EQ(transfer.TransferState(), TTransferState::tsAwaitingAcknowledge);
    EXPECT_TRUE(transfer.Completed());
    EXPECT_FALSE(transfer.Running());

    EXPECT_EQ(Log(), (std::vector<std::string>{LogLine({0x55}), LogLine({0x55, 0x33}),
                                               LogLine({0xCC}), LogLine({0xAA}),
                                               LogLine({0x11, 0x00, 0x00}), LogLine({0xAA}),
                                               LogLine(WorkedBlockFrame()), LogLine({0x18})}));
}

TEST_F(TransferTest, FirstPageCommandWaitsForItsTimeAndWhatCameMeanwhileFollowsIt) {
    firstPageAtOnce = false;
    SetScript(kWorkedScript);
    Start();
    Receive({0x55});
    EchoLast();
    EXPECT_FALSE(transfer.AwaitingFirstPageTime());
    Receive({0xAA});
    EXPECT_TRUE(transfer.AwaitingFirstPageTime());
    EXPECT_EQ(transfer.LinkState(), TLinkState::lsScriptUnderWay);
    EXPECT_TRUE(observer.led);
    EXPECT_EQ(Writes(), 1u);

    // Bytes that come meanwhile are neither logged nor answered until the command has gone; then
    // they count as one event that came after it (here its echo, early as it cannot be).
    const size_t logged = Log().size();
    Receive({0x11});
    Receive({0x00, 0x00});
    EXPECT_EQ(Writes(), 1u);
    EXPECT_EQ(Log().size(), logged);
    transfer.FirstPageTime();
    EXPECT_FALSE(transfer.AwaitingFirstPageTime());
    ASSERT_EQ(Writes(), 2u);
    EXPECT_EQ(LastWrite(), (Bytes{0x11, 0x00, 0x00}));
    EXPECT_EQ(Log().size(), logged + 1);
    EXPECT_EQ(Log().back(), LogLine({0x11, 0x00, 0x00}));
    EXPECT_TRUE(transfer.Running());

    // No other frame waits.
    Receive({0xAA});
    EXPECT_EQ(Writes(), 3u);
    EchoLast();
    Receive({0x18});
    EXPECT_FALSE(transfer.AwaitingFirstPageTime());
    EXPECT_TRUE(transfer.Completed());
}

TEST_F(TransferTest, NoFirstPageCommandAfterASwitchOffOrAFaultInTheWait) {
    firstPageAtOnce = false;
    SetScript(kWorkedScript);
    for (const bool switchOff : {true, false}) {
        Start();
        Receive({0x55});
        EchoLast();
        Receive({0xAA});
        ASSERT_TRUE(transfer.AwaitingFirstPageTime());
        if (switchOff) {
            Stop();
        } else {
            transfer.DeviceGone();
        }
        EXPECT_FALSE(transfer.AwaitingFirstPageTime());
        const size_t writes = Writes();
        transfer.FirstPageTime();
        EXPECT_EQ(Writes(), writes);
        EXPECT_FALSE(port.open);
    }
}

TEST_F(TransferTest, BlockAfterBlockAtOncePageWaitsForAcknowledge) {
    SetScript({"cmd 01:0000", BlockLine("0000", 0x80, 0), BlockLine("0080", 0x80, 1), "cmd 01:0200",
               BlockLine("0200", 0x10, 2)});
    Start();
    Handshake();
    Receive({0xAA});
    EchoLast();
    EXPECT_EQ(transfer.TransferState(), TTransferState::tsAwaitingChecksum);

    Receive({transfer.ExpectedChecksum()});  // next block goes out at once
    ASSERT_EQ(LastWrite().size(), 131u);
    EXPECT_EQ(LastWrite()[1], 0x00);
    EXPECT_EQ(LastWrite()[2], 0x80);
    EchoLast(7);

    Receive({transfer.ExpectedChecksum()});  // a page command: then 0xAA is awaited
    EXPECT_EQ(LastWrite(), (Bytes{0x11, 0x02, 0x00}));
    EXPECT_EQ(transfer.TransferState(), TTransferState::tsAwaitingAcknowledge);
    EchoLast(1);
    EXPECT_EQ(Writes(), 5u);
    Receive({0xAA});
    EXPECT_EQ(LastWrite()[1], 0x02);
    EXPECT_EQ(observer.gauge.progress, 4);
    EchoLast();
    Receive({transfer.ExpectedChecksum()});
    EXPECT_TRUE(transfer.Completed());
    EXPECT_EQ(observer.gauge.progress, 0);
}

TEST_F(TransferTest, StrayGreetingsAreLoggedAndIgnored) {
    SetScript(kWorkedScript);
    Start();
    Receive({0xAA});  // 0xAA before any greeting
    EXPECT_EQ(Writes(), 0u);
    EXPECT_EQ(transfer.LinkState(), TLinkState::lsNoGreeting);
    Receive({0x55});
    EchoLast();
    Receive({0x55});  // a repeated greeting once answered
    EXPECT_EQ(Writes(), 1u);
    Receive({0xAA});
    EchoLast();
    Receive({0x55, 0xAA});  // first byte decides; 0x55 at link state 2 means nothing
    EXPECT_EQ(Writes(), 2u);
    EXPECT_EQ(Log().size(), 7u);
}

TEST_F(TransferTest, WholeEchoInOneEventGivesTheSameLine) {
    SetScript(kWorkedScript);
    Start();
    Handshake();
    Receive({0xAA});
    const size_t before = Log().size();
    EchoLast();
    EXPECT_EQ(Log().size(), before + 1);
    EXPECT_EQ(Log().back(), LogLine(WorkedBlockFrame()));
    EXPECT_EQ(transfer.TransferState(), TTransferState::tsAwaitingChecksum);
}

TEST_F(TransferTest, WrongChecksumWaitsThenGoesOnWithTheRightOne) {
    SetScript({"cmd 01:0000", BlockLine("0000", 0x80), BlockLine("0080", 0x80)});
    Start();
    Handshake();
    Receive({0xAA});
    EchoLast();
    const uint8_t good = transfer.ExpectedChecksum();
    const size_t writes = Writes();

    Receive({static_cast<uint8_t>(good + 1)});
    Receive({static_cast<uint8_t>(good + 2), good});  // the right byte, but not first
    Receive({0x55});
    // Once per block: the later wrong bytes are logged only, so the user can reach the button.
    EXPECT_EQ(observer.messages, std::vector<TransferMessage>{TransferMessage::BadChecksum});
    EXPECT_EQ(Log().back(), LogLine({0x55}));
    EXPECT_EQ(Writes(), writes);
    EXPECT_EQ(transfer.TransferState(), TTransferState::tsAwaitingChecksum);
    EXPECT_EQ(transfer.ScriptIndex(), 2);

    Receive({good});
    EXPECT_EQ(Writes(), writes + 1);
    EXPECT_EQ(LastWrite()[2], 0x80);  // the next block, the failed one is not sent again
}

TEST_F(TransferTest, EventsTellTheFrontEndWhatHappenedInOrder) {
    using enum TransferEventKind;
    SetScript({"cmd 01:0000", BlockLine("0000", 0x80), BlockLine("0080", 0x80)});
    Start();
    Handshake();
    Receive({0xAA});
    EchoLast();
    Receive({static_cast<uint8_t>(transfer.ExpectedChecksum() + 1)});
    Receive({transfer.ExpectedChecksum()});
    EchoLast();
    Receive({transfer.ExpectedChecksum()});
    std::vector<TransferEventKind> kinds;
    for (const TransferEvent& event : observer.events)
        kinds.push_back(event.kind);
    EXPECT_EQ(kinds, (std::vector<TransferEventKind>{GreetingAnswered, GreetingAnswered, FrameSent,
                                                     WrongChecksum, BlockConfirmed, FrameSent,
                                                     BlockConfirmed, Completed, Stopped}));
    const std::vector<TransferEvent>& events = observer.events;
    EXPECT_EQ(events[0].linkState, TLinkState::lsGreetingAnswered);
    EXPECT_EQ(events[1].linkState, TLinkState::lsScriptUnderWay);
    EXPECT_EQ(events[3].message, TransferMessage::BadChecksum);
    EXPECT_EQ(events[4].blocksConfirmed, 1);
    EXPECT_EQ(events[6].blocksConfirmed, 2);
    EXPECT_EQ(events[6].blocksTotal, 2);
    EXPECT_EQ(events[7].message, TransferMessage::Done);
    EXPECT_EQ(events[8].ending, TransferEnding::Completed);

    // A switch-off is a stop of its own, told also when nothing runs.
    observer.events.clear();
    Stop();
    ASSERT_EQ(observer.events.size(), 1u);
    EXPECT_EQ(observer.events[0].kind, Stopped);
    EXPECT_EQ(observer.events[0].ending, TransferEnding::SwitchedOff);
    EXPECT_EQ(transfer.Ending(), TransferEnding::Completed);
}

}  // namespace
}  // namespace transfer_test
