// SPDX-License-Identifier: MIT
// The transfer end to end over the serial component and a simulated boot loader.
#include <algorithm>

#include "LineTest.h"
#include "support/SampleFiles.h"
#include "support/TempFolder.h"
#include "support/WorkedExample.h"

namespace line_test {
namespace {

TEST_F(LineTest, WorkedExchangeGoesOverTheLineByteForByte) {
    Launch();
    SetScript(kWorkedScript);
    Start();
    ASSERT_TRUE(RunToCompletion()) << (errors.empty() ? "" : errors.front());
    // The end command has left the tool; the device may take a moment to read it.
    ASSERT_TRUE(sim->WaitForEnd(10s));

    const Bytes block = WorkedBlockFrame();
    Bytes toDevice{0x55, 0x33, 0xCC, 0x11, 0x00, 0x00};
    toDevice.insert(toDevice.end(), block.begin(), block.end());
    toDevice.insert(toDevice.end(), {0x99, 0x00, 0x00});
    EXPECT_EQ(sim->Received(), toDevice);

    // Every byte from the device up to its checksum 0x18 was logged, in order; only the echo of
    // the end command may come after the port was closed.
    const Bytes logged = LoggedBytes();
    const Bytes fromDevice = Joined(sim->Writes());
    ASSERT_LE(logged.size(), fromDevice.size());
    EXPECT_TRUE(std::equal(logged.begin(), logged.end(), fromDevice.begin()));
    EXPECT_EQ(logged.back(), 0x18);
    const Bytes after(fromDevice.begin() + static_cast<long>(logged.size()), fromDevice.end());
    EXPECT_TRUE(Bytes({0x99, 0x00, 0x00}).size() >= after.size() &&
                std::equal(after.begin(), after.end(), Bytes({0x99, 0x00, 0x00}).begin()));
    EXPECT_EQ(std::count_if(observer.exchangeLog.begin(), observer.exchangeLog.end(),
                            [](const std::string& line) { return line.size() == 5 + 3 * 131; }),
              1)
        << "the block's echo is logged as one line";

    EXPECT_EQ(observer.messages, std::vector<TransferMessage>{TransferMessage::Done});
    EXPECT_EQ(observer.endings, std::vector<TransferEnding>{TransferEnding::Completed});
    EXPECT_EQ(observer.gauge.progressSeen, (std::vector<int32_t>{1, 0}));
    EXPECT_FALSE(observer.button);
    EXPECT_FALSE(observer.led);
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_EQ(transfer.LinkState(), TLinkState::lsNoGreeting);
    EXPECT_EQ(transfer.TransferState(), TTransferState::tsAwaitingAcknowledge);
}

TEST_F(LineTest, FirstPageCommandLeaves21MillisecondsAfterTheSecondGreeting) {
    Launch();
    SetScript(kWorkedScript);
    Start();
    ASSERT_TRUE(RunToCompletion());
    ASSERT_GE(port.writes.size(), 2u);
    const Noted& page = port.writes[1];
    ASSERT_EQ(page.bytes, (Bytes{0x11, 0x00, 0x00}));
    // The event that carried the device's 0xAA (behind the tail of the answer's echo, perhaps)
    // is the last one read before the page command.
    const auto trigger = std::find_if(port.reads.rbegin(), port.reads.rend(),
                                      [&](const Noted& read) { return read.at <= page.at; });
    ASSERT_NE(trigger, port.reads.rend());
    EXPECT_EQ(trigger->bytes.back(), 0xAA);
    EXPECT_GE(page.at - trigger->at, 21ms);
}

class ExampleTransferTest : public LineTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ExampleTransferTest, EveryByteOfTheFileReachesTheDeviceMemory) {
    Launch();
    Convert(ExamplePath(GetParam()));
    Start();
    ASSERT_TRUE(RunToCompletion()) << (errors.empty() ? "" : errors.front());
    ExpectImageHolds(ExamplePath(GetParam()), sim->Image());
    EXPECT_EQ(observer.messages, std::vector<TransferMessage>{TransferMessage::Done});
    EXPECT_EQ(transfer.ScriptBlocks(), sim->BlocksReceived());
    EXPECT_EQ(transfer.BlocksConfirmed(), transfer.ScriptBlocks());
    EXPECT_EQ(observer.gauge.progressSeen.back(), 0);
    EXPECT_EQ(
        *std::max_element(observer.gauge.progressSeen.begin(), observer.gauge.progressSeen.end()),
        observer.gauge.max)
        << "the gauge reaches its maximum with the last block";
}

// worked: gaps and a short block; image-64k: all 128 pages.
INSTANTIATE_TEST_SUITE_P(Examples, ExampleTransferTest,
                         ::testing::Values("worked.hex", "gap.hex", "image-64k.hex"));

// A page at 0xAA00: the echo of its page command carries 0xAA, which must not pass for the
// device's acknowledgement, however the echo is cut into events.
class HighPageTest : public LineTest, public ::testing::WithParamInterface<unsigned> {};

TEST_P(HighPageTest, PageAtAA00IsNotItsOwnAcknowledgement) {
    TempFolder folder;
    const std::string file = WriteHexFile(
        folder / "high.hex", {DataAt(0x0000, 0x40), DataAt(0xAA00, 0x200), DataAt(0xFF80, 0x80)});
    SimOptions options;
    options.split = GetParam() != 0;
    options.seed = GetParam();
    Launch(options);
    Convert(file);
    Start();
    ASSERT_TRUE(RunToCompletion()) << (errors.empty() ? "" : errors.front());
    ExpectImageHolds(file, sim->Image());
    EXPECT_EQ(sim->BlocksReceived(), 6);
    EXPECT_EQ(observer.messages, std::vector<TransferMessage>{TransferMessage::Done});
}

INSTANTIATE_TEST_SUITE_P(EchoCuts, HighPageTest, ::testing::Values(0u, 1u, 2u, 3u, 4u, 5u));

}  // namespace
}  // namespace line_test
