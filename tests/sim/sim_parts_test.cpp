// SPDX-License-Identifier: MIT
// The simulator's parts on their own: the fault plan's decisions and the wire's timing.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "base/ScopedFd.h"
#include "sim/SimFaultPlan.h"
#include "sim/SimWire.h"

namespace {
using namespace std::chrono_literals;
using After = SimFaultPlan::After;
using Step = BootLoaderDevice::Step;

Step BlockDone(int block, uint8_t sum) {
    Step step;
    step.block = block;
    step.position = 130;
    step.blockDone = step.answers = true;
    step.answer = sum;
    return step;
}

TEST(SimFaultPlan, EachFaultStrikesOnceAtItsBlock) {
    SimOptions options;
    options.badChecksumBlock = 2;
    options.dropEchoBlock = 3;
    options.silentAfter = 4;
    options.hangupAfter = 0;
    SimFaultPlan plan(options);

    EXPECT_FALSE(plan.WrongChecksum(BlockDone(1, 7)));
    EXPECT_EQ(plan.WrongChecksum(BlockDone(2, 7)), uint8_t{8});
    EXPECT_FALSE(plan.WrongChecksum(BlockDone(2, 7))) << "once only";

    Step echo;
    echo.block = 3;
    echo.position = SimFaultPlan::kDroppedEchoPosition - 1;
    EXPECT_FALSE(plan.DropsEcho(echo));
    echo.position = SimFaultPlan::kDroppedEchoPosition;
    EXPECT_TRUE(plan.DropsEcho(echo));
    EXPECT_FALSE(plan.DropsEcho(echo));

    Step greeted;
    greeted.greeted = greeted.answers = true;
    EXPECT_EQ(plan.AfterAnswer(greeted, 0), After::HangUp);
    EXPECT_EQ(plan.AfterAnswer(BlockDone(3, 0), 3), After::Nothing);
    EXPECT_EQ(plan.AfterAnswer(BlockDone(4, 0), 4), After::FallSilent);
}

class SimWireTest : public ::testing::Test {
protected:
    SimWireTest() {
        int fds[2];
        EXPECT_EQ(::pipe2(fds, O_NONBLOCK | O_CLOEXEC), 0);
        in_.Reset(fds[0]);
        out_.Reset(fds[1]);
    }
    std::vector<uint8_t> Written() {
        uint8_t buffer[256];
        const ssize_t n = ::read(in_.Get(), buffer, sizeof buffer);
        return n > 0 ? std::vector<uint8_t>(buffer, buffer + n) : std::vector<uint8_t>{};
    }

    ScopedFd in_;
    ScopedFd out_;
    const SimWire::Clock::time_point t0 = SimWire::Clock::now();
};

TEST_F(SimWireTest, PacedBytesTakeTheirByteTimeAndAnswersQueueBehind) {
    SimOptions options;
    options.pace = true;
    SimWire wire(options, out_.Get());
    wire.FromTool({1, 2, 3}, t0);
    const auto byte = SimWire::kPacedByteTime;
    EXPECT_EQ(wire.NextDue(), t0 + 3 * byte) << "the echo of three bytes is gathered";
    EXPECT_FALSE(wire.TakeDue(t0 + byte - 1ns));
    const auto first = wire.TakeDue(t0 + byte);
    ASSERT_TRUE(first && first->fromTool);
    EXPECT_EQ(first->bytes, (std::vector<uint8_t>{1}));
    wire.Answer(0xAA, t0 + byte, After::Nothing);
    EXPECT_EQ(wire.AnswerDue(t0), t0 + 5 * byte) << "after the echo and the answer";

    wire.Echo(1);
    wire.WriteEcho();
    wire.Write({0xAA});
    EXPECT_EQ(Written(), (std::vector<uint8_t>{1, 0xAA}));
}

TEST_F(SimWireTest, MergedAnswerGoesOutWithTheEcho) {
    SimOptions options;
    options.merge = true;
    SimWire wire(options, out_.Get());
    wire.Echo(0x22);
    wire.Answer(0x18, t0, After::FallSilent);
    wire.WriteEcho();
    EXPECT_EQ(Written(), (std::vector<uint8_t>{0x22, 0x18}));
    const auto then = wire.TakeDue(t0);
    ASSERT_TRUE(then);
    EXPECT_TRUE(then->bytes.empty());
    EXPECT_EQ(then->after, After::FallSilent);

    wire.Disconnect();
    wire.Write({1});
    EXPECT_TRUE(Written().empty()) << "nothing reaches a line that is gone";
}
}  // namespace
