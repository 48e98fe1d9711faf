// SPDX-License-Identifier: MIT
// The session core driven by hand, event by event, on a clock that only the test moves: its
// deadlines, its endings and its rules, with no port, thread or wait.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <span>
#include <vector>

#include "line/BoardSessionCore.h"
#include "serial/VaErrors.h"
#include "support/TransferFakes.h"
#include "support/WorkedExample.h"

namespace line_test {
namespace {

using namespace std::chrono_literals;
using Clock = BoardSessionCore::Clock;
using std::chrono::milliseconds;

// The test's time: `at` after an arbitrary start.
Clock::time_point T(milliseconds at) {
    return Clock::time_point{} + 1h + at;
}

// A port whose faults are the serial component's.
class ComponentPort final : public FakeTransferPort {
public:
    using FakeTransferPort::FakeTransferPort;
    void Open() override {
        if (missing) throw EVaCommError(TVaCommFault::DeviceNotFound, "not found", 2, "COM3");
        FakeTransferPort::Open();
    }
    int32_t ReadBytes(void* buffer, int32_t count) override {
        if (gone) throw EVaCommDeviceGone(TVaCommFault::DeviceGone, "gone", 5);
        return FakeTransferPort::ReadBytes(buffer, count);
    }
    int32_t WriteBytes(const void* buffer, int32_t count) override {
        if (full) throw EVaCommError(TVaCommFault::OutputFull, "full", 0);
        return FakeTransferPort::WriteBytes(buffer, count);
    }
    bool missing = false;
    bool gone = false;
    bool full = false;
};

struct Told final : BoardSessionObserver {
    void Finished(int64_t blocks, Clock::time_point) override { finished = blocks; }
    void Erred(const std::exception&, const BoardCause& cause) override { errors.push_back(cause); }
    int64_t finished = -1;
    std::vector<BoardCause> errors;
};

class SessionCoreTest : public ::testing::Test {
protected:
    SessionCoreTest() {
        update.transferScript = kWorkedScript;
        update.ScriptLineCount = static_cast<int64_t>(kWorkedScript.size());
    }
    void Make(BoardSessionRules rules) {
        core = std::make_unique<BoardSessionCore>(port, told, rules);
    }
    void Receive(const Bytes& bytes, milliseconds at) {
        core->Received(std::span<const uint8_t>(bytes), T(at));
    }
    void EchoLast(milliseconds at) { Receive(port.written.back(), at); }
    // Start at 0, greeting at 100 ms, second greeting at 200 ms: the first page command waits.
    void UpToTheFirstPage() {
        core->Start(update, "COM3", T(0ms));
        Receive({0x55}, 100ms);
        EchoLast(110ms);
        Receive({0xAA}, 200ms);
    }
    // The page command at 221 ms, and the worked block confirmed at 400 ms.
    void UpToTheEndCommand() {
        UpToTheFirstPage();
        core->Tick(T(221ms));
        EchoLast(230ms);
        Receive({0xAA}, 240ms);
        EchoLast(300ms);
        Receive({kWorkedChecksum}, 400ms);
    }
    BoardSessionResult Result() const { return core->Result(); }

    Journal journal;
    ComponentPort port{journal};
    Told told;
    ConvertedUpdate update;
    std::unique_ptr<BoardSessionCore> core;
};

TEST_F(SessionCoreTest, FirstPageCommandLeavesAtItsDeadlineAndNotBefore) {
    Make({});
    UpToTheFirstPage();
    ASSERT_EQ(port.written.size(), 1u);
    EXPECT_EQ(core->Deadline(), T(221ms)) << "21 ms after the event of the second greeting";
    core->Tick(T(220ms));
    EXPECT_EQ(port.written.size(), 1u);
    core->Tick(T(221ms));
    ASSERT_EQ(port.written.size(), 2u);
    EXPECT_EQ(port.written.back(), (Bytes{0x11, 0x00, 0x00}));
    EXPECT_EQ(core->Deadline(), std::nullopt) << "without a stall time-out nothing else is due";
    EXPECT_FALSE(core->Ended());
}

TEST_F(SessionCoreTest, StallDeadlineFollowsTheLastFrameAndSaysWhatWasAwaited) {
    Make({.stallTimeout = 1s});
    core->Start(update, "COM3", T(0ms));
    EXPECT_EQ(core->Deadline(), T(1000ms));
    Receive({0x55}, 400ms);  // answered: progress
    EchoLast(410ms);         // no frame: none
    EXPECT_EQ(core->Deadline(), T(1400ms));
    core->Tick(T(1399ms));
    EXPECT_FALSE(core->Ended());
    core->Tick(T(1400ms));
    ASSERT_TRUE(core->Ended());
    const BoardSessionResult result = Result();
    EXPECT_EQ(result.outcome, BoardOutcome::Stalled);
    EXPECT_EQ(result.cause.fault, BoardFault::NoProgress);
    ASSERT_NE(result.cause.As<StallReason>(), nullptr);
    EXPECT_EQ(result.cause.As<StallReason>()->waitedFor, StallWait::SecondGreeting);
    EXPECT_EQ(result.cause.As<StallReason>()->waited, 1s);
    EXPECT_TRUE(result.greeted);
    EXPECT_FALSE(port.open);
    EXPECT_EQ(core->Deadline(), std::nullopt);

    // A station waits for its board as long as it takes; the time counts from the greeting.
    Make({.stallTimeout = 1s, .waitForBoard = true});
    core->Start(update, "COM3", T(0ms));
    EXPECT_EQ(core->Deadline(), std::nullopt);
    core->Tick(T(3600000ms));
    EXPECT_FALSE(core->Ended());
    Receive({0x55}, 3600500ms);
    EXPECT_EQ(core->Deadline(), T(3601500ms));
}

TEST_F(SessionCoreTest, StopInTheFirstPageWaitEndsItWithNothingMoreSent) {
    Make({.stallTimeout = 1s});
    UpToTheFirstPage();
    core->Stop();
    ASSERT_TRUE(core->Ended());
    EXPECT_EQ(Result().outcome, BoardOutcome::Interrupted);
    EXPECT_EQ(Result().cause.fault, BoardFault::Stopped);
    EXPECT_FALSE(port.open);
    EXPECT_EQ(core->Deadline(), std::nullopt);
    core->Tick(T(5000ms));
    EXPECT_EQ(port.written.size(), 1u);
    EXPECT_EQ(Result().outcome, BoardOutcome::Interrupted);
}

TEST_F(SessionCoreTest, DeviceGoneAsReportedOrAsAReadFindsIt) {
    for (const bool byRead : {false, true}) {
        Make({.stallTimeout = 1s});
        port.gone = false;
        UpToTheFirstPage();
        if (byRead) {
            port.gone = true;
            port.input.push_back(0x11);
            core->Received(1, T(210ms));
        } else {
            core->DeviceGone();
        }
        ASSERT_TRUE(core->Ended()) << byRead;
        EXPECT_EQ(Result().outcome, BoardOutcome::Failed);
        EXPECT_EQ(Result().cause.fault, BoardFault::DeviceGone);
        EXPECT_FALSE(port.open);
        EXPECT_TRUE(told.errors.empty()) << "an ending, not an error";
    }
}

TEST_F(SessionCoreTest, DoneOnlyOnceTheEndCommandHasLeft) {
    Make({.stallTimeout = 1s});
    UpToTheEndCommand();
    EXPECT_EQ(port.written.back(), kEndFrame);
    EXPECT_FALSE(port.open) << "the transfer closes its port at once";
    EXPECT_FALSE(core->Ended());
    EXPECT_EQ(told.finished, -1);
    EXPECT_EQ(core->Deadline(), T(400ms) + BoardSessionCore::kEndCommandLimit);
    core->Written(T(401ms));
    ASSERT_TRUE(core->Ended());
    EXPECT_EQ(Result().outcome, BoardOutcome::Done);
    EXPECT_EQ(Result().blocksSent, 1);
    EXPECT_EQ(told.finished, 1);

    // A driver that never saw its writes leave.
    Make({.stallTimeout = 1s});
    told.finished = -1;
    UpToTheEndCommand();
    core->Tick(T(400ms) + BoardSessionCore::kEndCommandLimit);
    ASSERT_TRUE(core->Ended());
    EXPECT_EQ(Result().outcome, BoardOutcome::Failed);
    EXPECT_EQ(Result().cause.fault, BoardFault::NoEndCommand);
    EXPECT_EQ(told.finished, -1);
}

TEST_F(SessionCoreTest, AnErrorEndsTheSessionOrIsToldAsTheRulesSay) {
    for (const SessionErrors rule : {SessionErrors::EndSession, SessionErrors::CarryOn}) {
        Make({.stallTimeout = std::nullopt, .waitForBoard = false, .errors = rule});
        told.errors.clear();
        port.full = false;
        core->Start(update, "COM3", T(0ms));
        port.full = true;
        Receive({0x55}, 100ms);
        ASSERT_EQ(told.errors.size(), 1u);
        EXPECT_EQ(told.errors[0].fault, BoardFault::SerialError);
        ASSERT_NE(told.errors[0].As<SerialProblem>(), nullptr);
        EXPECT_EQ(told.errors[0].As<SerialProblem>()->fault, TVaCommFault::OutputFull);
        if (rule == SessionErrors::EndSession) {
            ASSERT_TRUE(core->Ended());
            EXPECT_EQ(Result().cause.fault, BoardFault::SerialError);
            EXPECT_FALSE(port.open);
        } else {
            EXPECT_FALSE(core->Ended());
            EXPECT_TRUE(port.open);
        }

        // Nothing goes on after a port that did not open, whatever the rule.
        core->Stop();
        port.missing = true;
        core->Start(update, "COM3", T(1000ms));
        port.missing = false;
        ASSERT_TRUE(core->Ended());
        EXPECT_EQ(Result().cause.fault, BoardFault::PortOpenFailed);
    }
}

}  // namespace
}  // namespace line_test
