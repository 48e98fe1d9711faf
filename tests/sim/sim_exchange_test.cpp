// SPDX-License-Identifier: MIT
// The simulated boot loader in a normal transfer, driven from a raw tool side.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "SimTest.h"
#include "sim/SimError.h"

namespace sim_test {
namespace {

TEST_F(SimTest, GreetsUntilAnsweredThenSendsSecondGreeting) {
    Launch();
    const Bytes greetings = tool->Read(3, 3s);
    EXPECT_EQ(greetings, (Bytes{0x55, 0x55, 0x55}));
    Handshake();
    // Answered: no more greetings.
    EXPECT_TRUE(tool->StaysQuiet(300ms));
}

TEST_F(SimTest, WrongGreetingAnswerIsOnlyEchoed) {
    Launch();
    tool->ReadThrough({0x55});
    tool->Write({0x55, 0x33, 0xCD});
    EXPECT_FALSE(tool->ReadThrough({0x55, 0x33, 0xCD}).empty());
    // Nothing but echo and further greetings: never 0xAA.
    const Bytes later = tool->Read(3, 1s);
    EXPECT_EQ(std::count(later.begin(), later.end(), 0xAA), 0);
}

TEST_F(SimTest, TransferWritesTheImageAndEnds) {
    const std::string image = folder / "image.bin";
    SimOptions options;
    options.imagePath = image;
    Launch(options);
    Handshake();

    EXPECT_EQ(Exchange(PageCommand(0x0200)), Echoed(PageCommand(0x0200), {0xAA}));
    const Bytes first = BlockCommand(0x0200, 0x10);
    EXPECT_EQ(Exchange(first), Echoed(first, {DataSum(first)}));
    const Bytes second = BlockCommand(0x0280, 0xF0);
    EXPECT_EQ(Exchange(second), Echoed(second, {DataSum(second)}));
    EXPECT_EQ(Exchange(kEndFrame, 0), kEndFrame);

    ASSERT_TRUE(sim->WaitForEnd(5s));
    EXPECT_EQ(sim->BlocksReceived(), 2);
    const Bytes memory = sim->Image();
    ASSERT_EQ(memory.size(), 0x10000u);
    EXPECT_TRUE(std::equal(first.begin() + 3, first.end(), memory.begin() + 0x200));
    EXPECT_TRUE(std::equal(second.begin() + 3, second.end(), memory.begin() + 0x280));
    EXPECT_EQ(std::count(memory.begin(), memory.end(), 0xFF), 0x10000 - 256 + 1);

    std::ifstream file(image, std::ios::binary);
    const Bytes saved((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(saved, memory);

    // The run ends once the tool lets go of the line.
    tool->Close();
    EXPECT_TRUE(sim->WaitForOutcome(5s));
    EXPECT_EQ(sim->Outcome(), SimOutcome::EndCommand);
    Bytes sent;
    for (const Bytes* frame : {&first, &second})
        sent.insert(sent.end(), frame->begin(), frame->end());
    const Bytes received = sim->Received();
    EXPECT_NE(std::search(received.begin(), received.end(), sent.begin(), sent.end()),
              received.end());
}

TEST_F(SimTest, EchoIsExactForLineControlCharacters) {
    Launch();
    Handshake();
    // Carriage return, line feed, interrupt, suspend, end of file, delete, XON/XOFF and 0xFF:
    // a line that is not raw would translate or swallow some of them.
    const Bytes awkward{0x0D, 0x0A, 0x03, 0x1A, 0x04, 0x7F};
    tool->Write(awkward);
    EXPECT_EQ(tool->Read(awkward.size()), awkward);
    tool->Write({0x13, 0xFF, 0x00, 0x0D});
    EXPECT_EQ(tool->Read(4), (Bytes{0x13, 0xFF, 0x00, 0x0D}));
}

TEST_F(SimTest, CommandsOffTheirBoundaryAreFaultsAndWriteNothing) {
    Launch();
    Handshake();
    EXPECT_EQ(Exchange(PageCommand(0x0210)), Echoed(PageCommand(0x0210), {0xAA}));
    // Near the top of memory it would have wrapped onto 0000.
    const Bytes block = BlockCommand(0xFFC0, 1);
    EXPECT_EQ(Exchange(block), Echoed(block, {DataSum(block)}));
    ASSERT_TRUE(sim->Stop() == SimOutcome::Stopped);
    EXPECT_EQ(
        sim->ProtocolFaults(),
        (std::vector<std::string>{"protocol fault: page command at 0210, not a multiple of 512",
                                  "protocol fault: block command at FFC0, not a multiple of 128"}));
    const Bytes memory = sim->Image();
    EXPECT_EQ(std::count(memory.begin(), memory.end(), 0xFF), 0x10000);
}

TEST_F(SimTest, LinkPointsAtTheLineAndIsRemovedAfterwards) {
    const auto link = folder.Path() / "ttyBK";
    std::filesystem::create_symlink("/nonexistent", link);  // a stale link is replaced
    {
        SimOptions options;
        options.linkPath = link.string();
        BootLoaderSim linked(options);
        EXPECT_EQ(linked.LinePath(), link.string());
        EXPECT_EQ(std::filesystem::read_symlink(link).string(), linked.TerminalPath());
        linked.Start();
        ToolSide side(linked.LinePath());
        EXPECT_EQ(side.Read(1), Bytes{0x55});
    }
    EXPECT_FALSE(std::filesystem::is_symlink(link));

    // Another kind of file is never replaced.
    std::ofstream(link) << "keep";
    SimOptions options;
    options.linkPath = link.string();
    EXPECT_THROW(BootLoaderSim{options}, SimError);
    EXPECT_TRUE(std::filesystem::is_regular_file(link));
}

}  // namespace
}  // namespace sim_test
