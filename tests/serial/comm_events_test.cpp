// SPDX-License-Identifier: MIT
// Event dispatch, the write thread and the lifecycle, on a scripted device.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>

#include "FakeDevice.h"
#include "serial/VaEventLoop.h"
#include "serial/VaUtils.h"

using namespace std::chrono_literals;
using ::testing::ElementsAre;

namespace {

class CommEventsTest : public ::testing::Test {
protected:
    CommEventsTest() {
        comm.OnException = [this](const std::exception& e) { errors.push_back(e.what()); };
    }
    bool RunUntil(const std::function<bool()>& done) { return loop->RunUntil(done, 10s); }
    void Input(std::initializer_list<unsigned char> bytes, std::uint32_t lineErrors = 0) {
        std::lock_guard lock(comm.port->mutex);
        comm.port->input.insert(comm.port->input.end(), bytes);
        comm.port->pendingErrors |= lineErrors;
    }
    int WatchesAlive() {
        std::lock_guard lock(comm.port->mutex);
        return comm.port->watchesAlive;
    }

    std::shared_ptr<TVaEventLoop> loop = std::make_shared<TVaEventLoop>();
    FakeComm comm{loop};
    std::vector<std::string> errors;
    std::vector<std::string> fired;
};

}  // namespace

TEST_F(CommEventsTest, EventsFireInTheirFixedOrder) {
    comm.SetDirectWrite(true);
    comm.SetMonitorEvents(
        {ceBreak, ceCts, ceDsr, ceError, ceRing, ceRlsd, ceRxChar, ceTxEmpty, ceRxFlag});
    auto note = [&](const char* name) {
        return [this, name](TVaCustomComm&) { fired.push_back(name); };
    };
    comm.OnBreak = note("break");
    comm.OnCts = note("cts");
    comm.OnDsr = note("dsr");
    comm.OnRing = note("ring");
    comm.OnRlsd = note("rlsd");
    comm.OnTxEmpty = note("txempty");
    comm.OnRxFlag = note("rxflag");
    comm.OnRxChar = [&](TVaCustomComm&, int count) {
        fired.push_back("rx" + std::to_string(count));
    };
    comm.OnError = [&](TVaCustomComm&, int flags) {
        fired.push_back("err" + std::to_string(flags));
    };
    comm.Open();
    // Bytes and a framing error in one batch: the byte count must not swallow the error.
    Input({1, 2}, CE_FRAME);
    comm.port->Raise(EV_BREAK | EV_CTS | EV_DSR | EV_ERR | EV_RING | EV_RLSD | EV_RXCHAR |
                     EV_TXEMPTY | EV_RXFLAG);
    ASSERT_TRUE(RunUntil([&] { return fired.size() >= 9; }));
    EXPECT_THAT(fired, ElementsAre("rx2", "err8", "rxflag", "cts", "dsr", "ring", "rlsd", "txempty",
                                   "break"));
}

TEST_F(CommEventsTest, EmptyQueueFiresNoRxCharAndCloseEndsTheBatch) {
    int rx = 0;
    comm.OnRxChar = [&](TVaCustomComm& sender, int) {
        ++rx;
        sender.Close();
    };
    comm.OnError = [&](TVaCustomComm&, int) { fired.push_back("err"); };
    comm.Open();
    comm.port->Raise(EV_RXCHAR);  // nothing waiting: no event
    Input({0x99}, CE_OVERRUN);
    comm.port->Raise(EV_RXCHAR | EV_ERR);
    ASSERT_TRUE(RunUntil([&] { return rx > 0; }));
    loop->RunUntil(nullptr, 100ms);
    EXPECT_EQ(rx, 1);
    EXPECT_TRUE(fired.empty()) << "OnError after the handler closed the port";
    EXPECT_TRUE(RunUntil([&] { return WatchesAlive() == 0; })) << "threads still running";
}

TEST_F(CommEventsTest, TransmitBufferTakesExactlyItsRoom) {
    comm.Buffers().SetWriteSize(32);
    comm.Buffers().SetWriteTimeout(50);
    comm.Open();
    comm.port->SetAcceptWrites(false);
    std::vector<unsigned char> first(20, 1), rest(12, 2), extra(1, 3);
    EXPECT_EQ(comm.WriteBytes(first.data(), 20), 20);
    EXPECT_EQ(comm.WriteBytes(rest.data(), 12), 12);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(comm.WriteBytes(extra.data(), 1), EVaCommError);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 45ms);
    comm.port->SetAcceptWrites(true);
    ASSERT_TRUE(comm.port->WaitOutput(32));
    loop->RunUntil(nullptr, 50ms);
    std::vector<unsigned char> expected(first);
    expected.insert(expected.end(), rest.begin(), rest.end());
    EXPECT_EQ(comm.port->Output(), expected);
}

TEST_F(CommEventsTest, FailedWritesAreReportedAndRetried) {
    comm.OnError = [&](TVaCustomComm&, int flags) {
        fired.push_back("err" + std::to_string(flags));
    };
    comm.Open();
    {
        std::lock_guard lock(comm.port->mutex);
        comm.port->writeError = kCallFailedCode;
        comm.port->pendingErrors = CE_FRAME;
    }
    const unsigned char frame[] = {0x11, 0x00, 0x00};
    EXPECT_EQ(comm.WriteBytes(frame, 3), 3);  // failures never reach the caller
    ASSERT_TRUE(RunUntil([&] { return !fired.empty(); }));
    EXPECT_EQ(fired.front(), "err8");
    {
        std::lock_guard lock(comm.port->mutex);
        comm.port->writeError = 0;
    }
    // Retries hand their failures over too, so the loop must keep running meanwhile.
    ASSERT_TRUE(RunUntil([&] { return comm.port->Output().size() >= 3; }));
    EXPECT_EQ(comm.port->Output(), std::vector<unsigned char>(frame, frame + 3));
}

TEST_F(CommEventsTest, DeviceGoneIsReportedOncePerOpen) {
    // Every retry fails and so would the status query behind a line-error report: one error
    // that says the device went away, not one per retry for as long as the port stays open.
    comm.Open();
    {
        std::lock_guard lock(comm.port->mutex);
        comm.port->writeError = kDeviceGoneCode;
        comm.port->statusError = kDeviceGoneCode;
    }
    const unsigned char frame[] = {0x22, 0x01};
    EXPECT_EQ(comm.WriteBytes(frame, 2), 2);
    ASSERT_TRUE(RunUntil([&] { return !errors.empty(); }));
    loop->RunUntil(nullptr, 500ms);
    const std::string gone = "The device or its adapter went away (Error " +
                             std::to_string(kDeviceGoneCode) + ", " +
                             VaSystemErrorText(kDeviceGoneCode) + ")";
    EXPECT_EQ(errors, std::vector<std::string>{gone});
    EXPECT_TRUE(comm.DeviceGone());
    EXPECT_FALSE(comm.WaitTransmitted(10s)) << "nothing queued leaves a device that has gone";
    TVaCommStatus status;
    EXPECT_THROW(comm.ReadStatus(status), EVaCommDeviceGone);
    loop->RunUntil(nullptr, 200ms);
    EXPECT_EQ(errors.size(), 1u);
}

TEST_F(CommEventsTest, OpenAndCloseEvents) {
    int opened = 0, closed = 0;
    comm.OnOpen = [&](TVaCustomComm&) {
        ++opened;
        throw std::runtime_error("open handler failed");
    };
    comm.OnClose = [&](TVaCustomComm&) { ++closed; };
    comm.Close();
    EXPECT_EQ(closed, 0);
    comm.Open();
    EXPECT_TRUE(comm.IsOpen()) << "a failing OnOpen closed the port";
    EXPECT_EQ(errors, std::vector<std::string>{"open handler failed"});
    comm.Close();
    comm.Close();
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(closed, 1);
    EXPECT_TRUE(RunUntil([&] { return WatchesAlive() == 0; })) << "threads still running";
}

TEST_F(CommEventsTest, NoThreadsWithoutEventsInDirectMode) {
    comm.SetMonitorEvents({});
    comm.SetDirectWrite(true);
    comm.Open();
    {
        std::lock_guard lock(comm.port->mutex);
        EXPECT_EQ(comm.port->watchesCreated, 0);
    }
    const unsigned char byte = 0x42;
    EXPECT_EQ(comm.WriteBytes(&byte, 1), 1);
    EXPECT_EQ(comm.port->Output(), std::vector<unsigned char>{0x42});

    FakeComm noDispatcher(nullptr);  // neither its own dispatcher nor a default one
    EXPECT_THROW(noDispatcher.Open(), EVaCommError);
    EXPECT_FALSE(noDispatcher.IsOpen());
}

TEST_F(CommEventsTest, DestroyedWithAHandOverHeld) {
    auto held = std::make_shared<HeldDispatcher>();
    auto doomed = std::make_unique<FakeComm>(held);
    auto port = doomed->port;
    bool handled = false;
    doomed->OnRxChar = [&](TVaCustomComm&, int) { handled = true; };
    doomed->Open();
    {
        std::lock_guard lock(port->mutex);
        port->input.push_back(1);
    }
    port->Raise(EV_RXCHAR);
    ASSERT_TRUE(held->WaitPosted(1));
    doomed.reset();
    held->RunAll();
    EXPECT_FALSE(handled);
    std::unique_lock lock(port->mutex);
    EXPECT_TRUE(port->cv.wait_for(lock, 10s, [&] { return port->watchesAlive == 0; }));
}
