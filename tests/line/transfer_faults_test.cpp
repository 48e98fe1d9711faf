// SPDX-License-Identifier: MIT
// The simulator's fault switches against the real transfer, and a transfer switched off in the
// middle followed by a clean one.
#include <algorithm>

#include "LineTest.h"
#include "support/SampleFiles.h"
#include "support/TempFolder.h"

namespace line_test {
namespace {

// Four pages of four blocks each.
std::vector<DataRun> EightPagesOfData() {
    return {DataAt(0x0000, 0x800), DataAt(0x1000, 0x800)};
}

class FaultTest : public LineTest {
protected:
    void Prepare(SimOptions options) {
        file = WriteHexFile(folder / "fw.hex", EightPagesOfData());
        // No greeting again while the tool sits waiting: the fault's own ending is what counts.
        options.regreetAfterMs = 0;
        Launch(std::move(options));
        Convert(file);
        Start();
    }
    // `firstWrite`: the tool's first frame of this transfer.
    void ExpectCompletedAndVerified(size_t firstWrite = 0) {
        ASSERT_TRUE(RunToCompletion()) << (errors.empty() ? "" : errors.front());
        EXPECT_EQ(ExpectImageHolds(file, sim->Image()), 0x1000);
        const auto blocks =
            std::count_if(port.writes.begin() + static_cast<long>(firstWrite), port.writes.end(),
                          [](const Noted& w) { return w.bytes.front() == 0x22; });
        EXPECT_EQ(blocks, 32) << "every block sent once";
    }
    // Runs until the device has seen `blocks` block commands and then a little longer.
    void RunPastBlock(int blocks) {
        ASSERT_TRUE(RunUntil([&] { return sim->BlocksReceived() >= blocks; }));
        RunUntil([] { return false; }, 300ms);
    }

    TempFolder folder;
    std::string file;
};

TEST_F(FaultTest, SplitAndMergedEchoStillComplete) {
    SimOptions options;
    options.split = true;
    options.merge = true;
    Prepare(options);
    ExpectCompletedAndVerified();
    EXPECT_EQ(observer.messages, std::vector<TransferMessage>{TransferMessage::Done});
    // The device's answers came in the same events as the echo's tail, yet every block echo
    // was still logged as a line of its own.
    const auto blockEchoes =
        std::count_if(observer.exchangeLog.begin(), observer.exchangeLog.end(),
                      [](const std::string& line) { return line.size() == 5 + 3 * 131; });
    EXPECT_EQ(blockEchoes, 32);
}

TEST_F(FaultTest, MergedAnswerIsTakenFromTheEventItCameIn) {
    SimOptions options;
    options.merge = true;
    Prepare(options);
    ExpectCompletedAndVerified();
    const bool merged = std::any_of(port.reads.begin(), port.reads.end(), [](const Noted& read) {
        return read.bytes.size() == 132 && read.bytes.front() == 0x22;
    });
    EXPECT_TRUE(merged) << "no event carried a whole echo and its checksum";
}

TEST_F(FaultTest, WrongChecksumShowsTheMessageAndTheLaterRightOneGoesOn) {
    SimOptions options;
    options.badChecksumBlock = 5;
    Prepare(options);
    // The block is not sent again.
    ExpectCompletedAndVerified();
    EXPECT_EQ(observer.messages,
              (std::vector<TransferMessage>{TransferMessage::BadChecksum, TransferMessage::Done}));
}

TEST_F(FaultTest, LostEchoByteEndsTheTransferAtRestWithOneMessage) {
    SimOptions options;
    options.dropEchoBlock = 3;
    Prepare(options);
    RunPastBlock(3);
    EXPECT_FALSE(transfer.Running());
    EXPECT_FALSE(transfer.Completed());
    EXPECT_EQ(transfer.Ending(), TransferEnding::EchoMismatch);
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_EQ(sim->BlocksReceived(), 3);
    EXPECT_EQ(observer.messages, std::vector<TransferMessage>{TransferMessage::EchoMismatch});
    EXPECT_TRUE(errors.empty());
}

TEST_F(FaultTest, SilentDeviceLeavesTheBlockEchoUncollected) {
    SimOptions options;
    options.silentAfter = 3;
    Prepare(options);
    RunPastBlock(3);
    EXPECT_TRUE(transfer.Running());
    EXPECT_EQ(transfer.TransferState(), TTransferState::tsCollectingEcho);
    EXPECT_EQ(transfer.EchoCount(), 0);
    EXPECT_TRUE(observer.messages.empty());
}

TEST_F(FaultTest, UnpluggedDeviceEndsAtRestWithOneMessage) {
    SimOptions options;
    options.hangupAfter = 3;
    Prepare(options);
    // Whether the port's hang-up or a read finds it first, it is said once, at rest.
    ASSERT_TRUE(RunUntil([&] { return !transfer.Running(); }, 20s));
    RunUntil([] { return false; }, 300ms);
    EXPECT_FALSE(transfer.Completed());
    EXPECT_EQ(transfer.Ending(), TransferEnding::DeviceGone);
    EXPECT_EQ(observer.messages, std::vector<TransferMessage>{TransferMessage::DeviceGone});
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_LE(sim->BlocksReceived(), 4);
}

TEST_F(FaultTest, SwitchedOffInTheMiddleThenAFreshTransferCompletes) {
    file = WriteHexFile(folder / "fw.hex", EightPagesOfData());
    SimOptions options;
    options.regreetAfterMs = 300;  // a tool gone quiet is greeted again
    Launch(options);
    Convert(file);
    Start();
    // Stop right after a block command went out, with its echo still to come.
    ASSERT_TRUE(RunUntil([&] { return transfer.ScriptIndex() >= 8; }));
    const TTransferState stateAtStop = transfer.TransferState();
    Stop();
    EXPECT_TRUE(stateAtStop == TTransferState::tsCollectingEcho ||
                stateAtStop == TTransferState::tsAwaitingChecksum)
        << int(stateAtStop);
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_EQ(observer.gauge.progress, 0);
    EXPECT_TRUE(observer.led) << "switching off leaves the LED as it was";
    EXPECT_LT(sim->BlocksReceived(), 32);

    const size_t firstWrite = port.writes.size();
    Start();
    ExpectCompletedAndVerified(firstWrite);
    EXPECT_EQ(observer.messages, std::vector<TransferMessage>{TransferMessage::Done});
    // The device was greeted and answered afresh.
    const Bytes received = sim->Received();
    const Bytes answer{0x55, 0x33, 0xCC};
    int answers = 0;
    for (auto at = received.begin();
         (at = std::search(at, received.end(), answer.begin(), answer.end())) != received.end();
         ++at)
        ++answers;
    EXPECT_EQ(answers, 2);
}

}  // namespace
}  // namespace line_test
