// SPDX-License-Identifier: MIT
// The simulator's fault switches, its pacing, and how it copes with a tool that comes late or
// goes away in the middle.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <thread>

#include "SimTest.h"

namespace sim_test {
namespace {

class SimFaultTest : public SimTest {
protected:
    // Handshake, a page command and blocks 1 .. n-1, each answered correctly.
    void RunUpToBlock(int n) {
        Handshake();
        ASSERT_EQ(Exchange(PageCommand(0)), Echoed(PageCommand(0), {0xAA}));
        for (int i = 1; i < n; ++i) {
            const Bytes block = BlockCommand(static_cast<uint16_t>(i * 0x80), uint8_t(i));
            ASSERT_EQ(Exchange(block), Echoed(block, {DataSum(block)}));
        }
    }
};

TEST_F(SimFaultTest, BadChecksumIsCorrected200MillisecondsLater) {
    SimOptions options;
    options.badChecksumBlock = 2;
    Launch(options);
    RunUpToBlock(2);
    const Bytes block = BlockCommand(0x0100, 7);
    tool->Write(block);
    const Bytes first = tool->Read(block.size() + 1);
    const auto wrongAt = Clock::now();
    ASSERT_EQ(first.size(), block.size() + 1);
    EXPECT_NE(first.back(), DataSum(block));
    EXPECT_EQ(tool->Read(1), Bytes{DataSum(block)});
    EXPECT_GE(Clock::now() - wrongAt, 190ms);

    // Once only: the next block is answered correctly at once.
    const Bytes next = BlockCommand(0x0180, 9);
    EXPECT_EQ(Exchange(next), Echoed(next, {DataSum(next)}));
}

TEST_F(SimFaultTest, DropEchoLosesOneByteOfThatBlock) {
    SimOptions options;
    options.dropEchoBlock = 1;
    Launch(options);
    RunUpToBlock(1);
    const Bytes block = BlockCommand(0x0000, 0x40);
    const Bytes got = Exchange(block, 0);
    Bytes expected = block;
    expected.erase(expected.begin() + 100);
    expected.push_back(DataSum(block));
    EXPECT_EQ(got, expected);
    EXPECT_TRUE(tool->StaysQuiet(200ms));
    const Bytes next = BlockCommand(0x0080, 1);
    EXPECT_EQ(Exchange(next), Echoed(next, {DataSum(next)}));
}

TEST_F(SimFaultTest, NoEchoLeavesOnlyTheDevicesOwnBytes) {
    SimOptions options;
    options.noEcho = true;
    options.greetIntervalMs = 5000;  // one greeting, then none while the handshake runs
    Launch(options);
    ASSERT_EQ(tool->Read(1), Bytes{0x55});
    tool->Write({0x55, 0x33, 0xCC});
    EXPECT_EQ(tool->Read(1), Bytes{0xAA});
    tool->Write(PageCommand(0));
    EXPECT_EQ(tool->Read(1), Bytes{0xAA});
    const Bytes block = BlockCommand(0x0000, 5);
    tool->Write(block);
    EXPECT_EQ(tool->Read(1), Bytes{DataSum(block)});
    EXPECT_TRUE(tool->StaysQuiet(100ms));
}

TEST_F(SimFaultTest, SplitEchoComesInSmallWritesAndAnswerApart) {
    SimOptions options;
    options.split = true;
    Launch(options);
    RunUpToBlock(1);
    const size_t before = sim->Writes().size();
    const Bytes block = BlockCommand(0x0000, 3);
    EXPECT_EQ(Exchange(block), Echoed(block, {DataSum(block)}));

    const auto writes = sim->Writes();
    Bytes joined;
    for (size_t i = before; i + 1 < writes.size(); ++i) {
        EXPECT_GE(writes[i].size(), 1u);
        EXPECT_LE(writes[i].size(), 7u);
        joined.insert(joined.end(), writes[i].begin(), writes[i].end());
    }
    EXPECT_EQ(joined, block);
    EXPECT_EQ(writes.back(), Bytes{DataSum(block)});
}

TEST_F(SimFaultTest, MergedAnswerSharesTheWriteOfTheEchoTail) {
    SimOptions options;
    options.merge = true;
    Launch(options);
    RunUpToBlock(1);
    const Bytes block = BlockCommand(0x0000, 3);
    EXPECT_EQ(Exchange(block), Echoed(block, {DataSum(block)}));
    const Bytes last = sim->Writes().back();
    ASSERT_GE(last.size(), 2u);
    EXPECT_EQ(last.back(), DataSum(block));
    EXPECT_EQ(last[last.size() - 2], block.back());
}

TEST_F(SimFaultTest, SilentAfterABlockEchoesNothingMore) {
    SimOptions options;
    options.silentAfter = 1;
    options.regreetAfterMs = 200;  // silence is for good: no greeting comes back either
    Launch(options);
    RunUpToBlock(2);
    tool->Write(PageCommand(0x0200));
    EXPECT_TRUE(tool->StaysQuiet(600ms));
    EXPECT_EQ(sim->Outcome(), SimOutcome::Running);
}

TEST_F(SimFaultTest, SilentAfterZeroStopsRightAfterTheSecondGreeting) {
    SimOptions options;
    options.silentAfter = 0;
    Launch(options);
    Handshake();
    tool->Write(PageCommand(0));
    EXPECT_TRUE(tool->StaysQuiet(300ms));
}

TEST_F(SimFaultTest, HangupAfterABlockClosesTheLine) {
    const auto link = folder.Path() / "ttyBK";
    SimOptions options;
    options.hangupAfter = 1;
    options.linkPath = link.string();
    Launch(options);
    RunUpToBlock(1);
    const Bytes block = BlockCommand(0x0000, 3);
    EXPECT_EQ(Exchange(block), Echoed(block, {DataSum(block)}));
    EXPECT_TRUE(tool->HangsUp());
    EXPECT_TRUE(sim->WaitForOutcome(5s));
    EXPECT_EQ(sim->Outcome(), SimOutcome::HungUp);
    EXPECT_FALSE(std::filesystem::is_symlink(link));  // the device is gone
}

TEST_F(SimFaultTest, PacedLineTakesTenBitsPerByte) {
    SimOptions options;
    options.pace = true;
    Launch(options);
    RunUpToBlock(1);
    const Bytes block = BlockCommand(0x0000, 3);
    const auto start = Clock::now();
    EXPECT_EQ(Exchange(block), Echoed(block, {DataSum(block)}));
    // 131 bytes out and echoed at once, then the answer: 132 byte times of 0.96 ms.
    EXPECT_GE(Clock::now() - start, 126ms);
}

TEST_F(SimFaultTest, ToolOpeningLateFindsOneGreetingWaiting) {
    sim = std::make_unique<BootLoaderSim>(SimOptions{});
    sim->Start();
    std::this_thread::sleep_for(400ms);  // eight greetings into an unopened line
    tool = std::make_unique<ToolSide>(sim->TerminalPath());
    const Bytes waiting = tool->Read(16, 30ms);
    EXPECT_LE(waiting.size(), 2u);
    EXPECT_EQ(std::count(waiting.begin(), waiting.end(), 0x55), std::ptrdiff_t(waiting.size()));
    Handshake();
}

TEST_F(SimFaultTest, ToolRestartedMidTransferIsGreetedAgain) {
    SimOptions options;
    options.regreetAfterMs = 300;
    Launch(options);
    RunUpToBlock(2);
    const Bytes cut = BlockCommand(0x0100);
    tool->Write(Bytes(cut.begin(), cut.begin() + 50));
    tool->Read(50);
    tool.reset();  // the tool goes away in the middle of a block

    std::this_thread::sleep_for(100ms);
    tool = std::make_unique<ToolSide>(sim->TerminalPath());
    Handshake();  // greeted again once the line fell quiet
    ASSERT_EQ(Exchange(PageCommand(0x0100)), Echoed(PageCommand(0x0100), {0xAA}));
    const Bytes block = BlockCommand(0x0100, 5);
    EXPECT_EQ(Exchange(block), Echoed(block, {DataSum(block)}));
    EXPECT_EQ(sim->BlocksReceived(), 2);
}

TEST_F(SimFaultTest, ToolThatIsNotReadingIsNotGreetedOver) {
    // A wrong checksum on the tool's screen: it reads nothing while the correct one waits.
    SimOptions options;
    options.badChecksumBlock = 1;
    options.regreetAfterMs = 200;
    Launch(options);
    RunUpToBlock(1);
    const Bytes block = BlockCommand(0x0000, 3);
    ASSERT_EQ(Exchange(block).size(), block.size() + 1);
    std::this_thread::sleep_for(800ms);
    EXPECT_EQ(tool->Read(1), Bytes{DataSum(block)});
    const Bytes next = BlockCommand(0x0080, 4);
    EXPECT_EQ(Exchange(next), Echoed(next, {DataSum(next)}));
}

TEST_F(SimFaultTest, StopInTheMiddleIsNoEnd) {
    Launch();
    RunUpToBlock(2);
    EXPECT_EQ(sim->Stop(), SimOutcome::Stopped);
    EXPECT_FALSE(sim->WaitForEnd(10ms));
}

}  // namespace
}  // namespace sim_test
