// SPDX-License-Identifier: MIT
// One board's session against the simulated boot loader: how it ended comes back as kinds and
// data, never as words.
#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <tuple>

#include "base/ThreadSafety.h"
#include "files/FileConversion.h"
#include "line/BoardSession.h"
#include "loader/Conversion.h"
#include "serial/VaEventLoop.h"
#include "sim/BootLoaderSim.h"
#include "support/SampleFiles.h"
#include "support/TempFolder.h"
#include "support/TransferFakes.h"

namespace line_test {
namespace {

using namespace std::chrono_literals;

// A stop request from another thread, as tevr-flash's signals bring one.
class TestStop final : public BoardStop {
public:
    void Add(TVaEventLoop& loop) override {
        MutexLock lock(mutex_);
        loop_ = &loop;
        if (signal_ != 0) loop.Quit();
    }
    void Remove(TVaEventLoop&) override {
        MutexLock lock(mutex_);
        loop_ = nullptr;
    }
    void Stop(int signal) {
        MutexLock lock(mutex_);
        signal_ = signal;
        if (loop_) loop_->Quit();
    }
    bool Stopped() const override { return Signal() != 0; }
    int Signal() const override {
        MutexLock lock(mutex_);
        return signal_;
    }

private:
    mutable Mutex mutex_;
    TVaEventLoop* loop_ GUARDED_BY(mutex_) = nullptr;
    int signal_ GUARDED_BY(mutex_) = 0;
};

struct Told final : BoardSessionObserver {
    void Waiting(const std::string&) override { seen += "W"; }
    void Greeted() override { seen += "G"; }
    void Started(int64_t, Clock::time_point) override { seen += "S"; }
    void Confirmed(int64_t, Clock::time_point) override {}
    void Finished(int64_t blocks, Clock::time_point) override {
        seen += "F";
        finished = blocks;
    }
    void WrongChecksum(uint32_t address, uint8_t expected, uint8_t received) override {
        seen += "C";
        wrong = {address, expected, received};
    }
    void Refused(TransferMessage) override { seen += "R"; }
    void Logged(const std::string&) override {}

    std::string seen;
    int64_t finished = 0;
    std::tuple<uint32_t, uint8_t, uint8_t> wrong{};
};

class BoardSessionTest : public ::testing::Test {
protected:
    BoardSessionTest() {
        NullGauge gauge;
        ConvertUpdateFile(WriteHexFile(folder / "fw.hex", {DataAt(0x0000, 0x800)}), script, gauge);
    }
    // `greet`: the board is there and greets; otherwise its line is open but the board silent.
    BoardSessionResult Run(SimOptions sim, BoardSessionOptions options = {}, bool greet = true) {
        sim.regreetAfterMs = 0;
        device = std::make_unique<BootLoaderSim>(std::move(sim));
        if (greet) device->Start();
        if (options.port.empty()) options.port = device->TerminalPath();
        return BoardSession(options, script, told, stop).Attempt();
    }

    TempFolder folder;
    ConvertedUpdate script;
    Told told;
    TestStop stop;
    std::unique_ptr<BootLoaderSim> device;
};

TEST_F(BoardSessionTest, DoneAfterTheEndCommandWithEveryWrongChecksumAsData) {
    SimOptions sim;
    sim.badChecksumBlock = 3;
    const BoardSessionResult result = Run(sim);
    EXPECT_EQ(result.outcome, BoardOutcome::Done);
    EXPECT_EQ(result.cause.fault, BoardFault::None);
    EXPECT_STREQ(BoardCauseCode(result.cause), "");
    EXPECT_TRUE(result.greeted && result.started);
    EXPECT_EQ(result.blocksSent, 16);
    EXPECT_EQ(result.blocksTotal, 16);
    EXPECT_EQ(told.seen, "WGSCF");
    EXPECT_EQ(told.finished, 16);
    const auto [address, expected, received] = told.wrong;
    EXPECT_EQ(address, 0x0100u);
    EXPECT_NE(expected, received);
}

TEST_F(BoardSessionTest, AStallTellsWhatItWaitedForWhereAndHowLong) {
    SimOptions sim;
    sim.silentAfter = 2;
    BoardSessionOptions options;
    options.timeout = 1s;
    const BoardSessionResult result = Run(sim, options);
    EXPECT_EQ(result.outcome, BoardOutcome::Stalled);
    EXPECT_EQ(result.cause.fault, BoardFault::NoProgress);
    const StallReason* stall = result.cause.As<StallReason>();
    ASSERT_NE(stall, nullptr);
    EXPECT_EQ(stall->waitedFor, StallWait::Echo);
    EXPECT_EQ(stall->address, "0100");
    EXPECT_EQ(stall->waited, 1s);
    EXPECT_STREQ(BoardCauseCode(result.cause), "no-echo");
    EXPECT_EQ(result.blocksSent, 2);
}

TEST_F(BoardSessionTest, FailuresComeBackAsTheirKinds) {
    SimOptions unplugged;
    unplugged.hangupAfter = 2;
    const BoardSessionResult gone = Run(unplugged);
    EXPECT_EQ(gone.outcome, BoardOutcome::Failed);
    EXPECT_EQ(gone.cause.fault, BoardFault::DeviceGone);
    EXPECT_STREQ(BoardCauseCode(gone.cause), "device-gone");

    BoardSessionOptions missing;
    missing.port = folder / "no-such-port";
    const BoardSessionResult closed = Run({}, missing);
    EXPECT_EQ(closed.outcome, BoardOutcome::Failed);
    EXPECT_EQ(closed.cause.fault, BoardFault::PortOpenFailed);
    // What the serial component failed to do, for a front end to say in its own words.
    const SerialProblem* serial = closed.cause.As<SerialProblem>();
    ASSERT_NE(serial, nullptr);
    EXPECT_EQ(serial->fault, TVaCommFault::DeviceNotFound);
    EXPECT_EQ(serial->device, missing.port);
    EXPECT_EQ(closed.port, missing.port);
    EXPECT_FALSE(closed.greeted);
}

TEST_F(BoardSessionTest, AStopRequestEndsAStationWaitingForItsBoardWithItsSignal) {
    // A station waits for a board as long as it takes: only the stop request ends it.
    BoardSessionOptions options;
    options.timeout = 100ms;
    options.waitForBoard = true;
    std::thread stopper([this] {
        std::this_thread::sleep_for(500ms);
        stop.Stop(15);
    });
    const BoardSessionResult result = Run({}, options, false);
    stopper.join();
    EXPECT_EQ(result.outcome, BoardOutcome::Interrupted);
    EXPECT_EQ(result.cause.fault, BoardFault::Stopped);
    EXPECT_EQ(result.signal, 15);
    EXPECT_FALSE(result.greeted);
    EXPECT_EQ(told.seen, "W");
}

}  // namespace
}  // namespace line_test
