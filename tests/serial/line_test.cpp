// SPDX-License-Identifier: MIT
// The component on a real line, driven from its far end: a pseudo-terminal on Linux, a null modem
// on Windows. What Wine cannot show on its ports (pseudo-terminals underneath) is checked on Linux
// alone: Wine leaves the line's rate at 38400, lets a second program open a port that real Windows
// keeps for the first, and has no way to unplug a port.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <unistd.h>
#endif

#include <chrono>
#include <filesystem>
#include <ostream>
#include <thread>

#include "FakeDevice.h"
#include "LineFarEnd.h"
#include "serial/VaComm.h"
#include "serial/VaEventLoop.h"

using namespace std::chrono_literals;
using Bytes = std::vector<unsigned char>;

namespace {

// Each case twice: with the component's event thread handing the events over, and with the loop
// waiting for the port itself (on Windows, whose watches only a thread can wait on, the loop
// leaves it to the thread).
class LineTest : public ::testing::TestWithParam<TVaPortWaiting> {
protected:
    LineTest() {
        comm.SetBaudrate(brUser);
        comm.SetUserBaudrate(10400);
        comm.Buffers().SetReadTimeout(500);
        comm.SetDeviceName(peer.Port());
        comm.OnException = [this](const std::exception& e) { errors.push_back(e.what()); };
    }
    bool RunUntil(const std::function<bool()>& done) { return loop->RunUntil(done, 10s); }
    // Every byte that OnRxChar was told of, read in full.
    void CollectReceived() {
        comm.OnRxChar = [this](TVaCustomComm& sender, int count) {
            counts.push_back(count);
            threads.push_back(std::this_thread::get_id());
            Bytes buffer(static_cast<std::size_t>(count));
            const int got = sender.ReadBytes(buffer.data(), count);
            received.insert(received.end(), buffer.begin(), buffer.begin() + got);
        };
    }

    LineFarEnd peer;
    std::shared_ptr<TVaEventLoop> loop = std::make_shared<TVaEventLoop>(GetParam());
    TVaComm comm{loop};
    std::vector<std::string> errors;
    std::vector<int> counts;
    std::vector<std::thread::id> threads;
    Bytes received;
};

#if !defined(_WIN32)
int ThreadsOfThisProcess() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/task"))
        ++count;
    return count;
}

// Once the threads of earlier cases, told to end, have left.
int SettledThreads() {
    // ThreadSanitizer's runtime starts a thread of its own with the first thread of a process.
    std::thread([] {}).join();
    int count = ThreadsOfThisProcess();
    for (int i = 0; i < 50; ++i) {
        std::this_thread::sleep_for(10ms);
        const int now = ThreadsOfThisProcess();
        if (now == count) break;
        count = now;
    }
    return count;
}
#endif

}  // namespace

void PrintTo(TVaPortWaiting waiting, std::ostream* out) {
    *out << (waiting == pwByLoop ? "pwByLoop" : "pwByThread");
}

INSTANTIATE_TEST_SUITE_P(PortWaiting, LineTest, ::testing::Values(pwByThread, pwByLoop),
                         [](const ::testing::TestParamInfo<TVaPortWaiting>& param) {
                             return param.param == pwByLoop ? "ByLoop" : "ByThread";
                         });

TEST_P(LineTest, ReceivedBytesReachOnRxCharOnTheOwningThread) {
    CollectReceived();
    comm.Open();
    comm.SetDtr(false);  // no modem lines on a pseudo-terminal: nothing to do, no error
    peer.Send({0x55, 0x33, 0xCC});
    ASSERT_TRUE(RunUntil([&] { return received.size() >= 3; }));
    EXPECT_EQ(received, (Bytes{0x55, 0x33, 0xCC}));
    int total = 0;
    for (int c : counts)
        total += c;
    EXPECT_EQ(total, 3);
    for (auto id : threads)
        EXPECT_EQ(id, std::this_thread::get_id());
#if !defined(_WIN32)
    EXPECT_EQ(peer.SlaveRate(), 10400u);
#endif
    EXPECT_TRUE(errors.empty());
}

TEST_P(LineTest, UnreadBytesWaitForTheNextArrival) {
    // Each event reads a single byte; the rest must not be reported again until more arrive.
    comm.OnRxChar = [&](TVaCustomComm& sender, int count) {
        counts.push_back(count);
        unsigned char first;
        sender.ReadBytes(&first, 1);
        received.push_back(first);
    };
    comm.Open();
    peer.Send({1, 2, 3});
    ASSERT_TRUE(RunUntil([&] { return !counts.empty(); }));
    loop->RunUntil(nullptr, 300ms);
    const std::size_t events = counts.size();
    const int unread = comm.InputCount();
    EXPECT_EQ(unread, 3 - static_cast<int>(events));
    loop->RunUntil(nullptr, 300ms);
    EXPECT_EQ(counts.size(), events) << "reported again without new bytes";
    peer.Send({4});
    ASSERT_TRUE(RunUntil([&] { return counts.size() > events; }));
    EXPECT_EQ(counts[events], unread + 1);
    EXPECT_EQ(received.front(), 1);
}

TEST_P(LineTest, BytesArrivingDuringAHandlerComeWithTheNextEvent) {
    comm.OnRxChar = [&](TVaCustomComm& sender, int count) {
        counts.push_back(count);
        if (counts.size() == 1) {
            peer.Send({7, 8});
            for (int i = 0; i < 1000 && sender.InputCount() < count + 2; ++i)
                std::this_thread::sleep_for(1ms);
        }
        Bytes buffer(static_cast<std::size_t>(count));
        sender.ReadBytes(buffer.data(), count);
        received.insert(received.end(), buffer.begin(), buffer.end());
    };
    comm.Open();
    peer.Send({6});
    ASSERT_TRUE(RunUntil([&] { return received.size() >= 3; }));
    ASSERT_EQ(counts.size(), 2u);
    EXPECT_EQ(counts[0], 1);
    EXPECT_EQ(counts[1], 2);
    EXPECT_EQ(received, (Bytes{6, 7, 8}));
}

TEST_P(LineTest, WritesReturnAtOnceAndLeaveInCallOrder) {
    int txEmpty = 0;
    comm.OnTxEmpty = [&](TVaCustomComm&) { ++txEmpty; };
    comm.Open();
    Bytes expected;
    for (int call = 0; call < 200; ++call) {
        Bytes frame(10, static_cast<unsigned char>(call));
        EXPECT_EQ(comm.WriteBytes(frame.data(), 10), 10);
        expected.insert(expected.end(), frame.begin(), frame.end());
    }
    // The write thread hands every emptied buffer over and waits for it: keep the loop running.
    Bytes sent;
    ASSERT_TRUE(RunUntil([&] {
        const Bytes part = peer.Receive(expected.size() - sent.size(), 1ms);
        sent.insert(sent.end(), part.begin(), part.end());
        return sent.size() >= expected.size() && txEmpty > 0;
    }));
    EXPECT_EQ(sent, expected);
}

TEST_P(LineTest, BlockLargerThanTheBufferIsRefusedAfterTheTimeout) {
    comm.Buffers().SetWriteSize(8);
    comm.Buffers().SetWriteTimeout(50);
    comm.Open();
    Bytes big(9, 0xAB);
    const auto start = std::chrono::steady_clock::now();
    try {
        comm.WriteBytes(big.data(), 9);
        FAIL() << "not refused";
    } catch (const EVaCommError& e) {
        EXPECT_STREQ(e.what(), "Output buffer is full. Please check comm status.");
    }
    EXPECT_GE(std::chrono::steady_clock::now() - start, 45ms);
    EXPECT_EQ(comm.WriteBytes(big.data(), 8), 8);
    EXPECT_EQ(peer.Receive(8), Bytes(8, 0xAB));
}

TEST_P(LineTest, CloseInsideOnRxCharReleasesThePortAtOnce) {
    int events = 0;
    comm.OnRxChar = [&](TVaCustomComm& sender, int count) {
        ++events;
        Bytes buffer(static_cast<std::size_t>(count));
        sender.ReadBytes(buffer.data(), count);
        sender.Close();
        EXPECT_FALSE(sender.IsOpen());
        EXPECT_EQ(sender.ReadBytes(buffer.data(), 1), 0);
        // Another component can take the port while this handler still runs.
        TVaComm other(loop);
        other.SetDeviceName(peer.Port());
        other.SetBaudrate(br9600);
        EXPECT_NO_THROW(other.Open());
    };
    comm.Open();
    peer.Send({0xAA});
    ASSERT_TRUE(RunUntil([&] { return events > 0; }));
    peer.Send({0xBB});
    loop->RunUntil(nullptr, 200ms);
    EXPECT_EQ(events, 1);
    EXPECT_TRUE(errors.empty()) << errors.front();
}

#if !defined(_WIN32)
TEST_P(LineTest, SecondOpenOfTheSamePortIsRefused) {
    comm.Open();
    TVaComm other(loop);
    other.SetDeviceName(peer.Port());
    try {
        other.Open();
        FAIL() << "opened twice";
    } catch (const EVaCommError& e) {
        EXPECT_EQ(std::string(e.what()), "Can't open specified device " + peer.Port() +
                                             " (Error 16, Device or resource busy)");
        // The holder is this process, whose first component has the port.
        EXPECT_EQ(e.Holder().ProcessId, ::getpid());
        EXPECT_FALSE(e.Holder().Name.empty());
    }
    EXPECT_FALSE(other.IsOpen());
    comm.Close();
    EXPECT_NO_THROW(other.Open());
}
#endif

#if !defined(_WIN32)
TEST_P(LineTest, FailedOpensLeaveThePortClosedAndFree) {
    comm.SetUserBaudrate(0);
    try {
        comm.Open();
        FAIL() << "rate 0 accepted";
    } catch (const EVaCommError& e) {
        EXPECT_STREQ(e.what(), "Error writing dcb (22), Invalid argument");
    }
    EXPECT_FALSE(comm.IsOpen());
    comm.SetUserBaudrate(10400);
    EXPECT_NO_THROW(comm.Open());
    comm.Close();

    comm.SetDeviceName("/dev/tevr-no-such-port");
    EXPECT_THROW(
        {
            try {
                comm.Open();
            } catch (const EVaCommError& e) {
                EXPECT_STREQ(e.what(), "Specified device not found (/dev/tevr-no-such-port).");
                throw;
            }
        },
        EVaCommError);
    comm.SetDeviceName("/dev/null");
    try {
        comm.Open();
        FAIL() << "opened a file that is no terminal";
    } catch (const EVaCommError& e) {
        EXPECT_STREQ(e.what(),
                     "Can't open specified device /dev/null (Error 25, Inappropriate ioctl for "
                     "device)");
    }
    EXPECT_FALSE(comm.IsOpen());
}
#endif

TEST_P(LineTest, HandlerErrorsGoToTheHookAndEventsGoOn) {
    comm.OnRxChar = [&](TVaCustomComm& sender, int count) {
        Bytes buffer(static_cast<std::size_t>(count));
        sender.ReadBytes(buffer.data(), count);
        received.insert(received.end(), buffer.begin(), buffer.end());
        if (received.size() == 1) throw std::runtime_error("handler failed");
    };
    comm.Open();
    peer.Send({1});
    ASSERT_TRUE(RunUntil([&] { return !errors.empty(); }));
    peer.Send({2});
    ASSERT_TRUE(RunUntil([&] { return received.size() >= 2; }));
    EXPECT_EQ(errors, std::vector<std::string>{"handler failed"});
    EXPECT_TRUE(comm.IsOpen());
}

TEST_P(LineTest, ReadBytesEndsOnCountGapOrTimeout) {
    comm.SetMonitorEvents({});
    comm.Open();
    Bytes buffer(16);
    comm.Buffers().SetReadTimeout(5000);
    peer.Send({1, 2});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(comm.ReadBytes(buffer.data(), 16), 2);  // the gap after the last byte ends it
    EXPECT_LT(std::chrono::steady_clock::now() - start, 4s);
    comm.Buffers().SetReadTimeout(100);
    const auto idle = std::chrono::steady_clock::now();
    EXPECT_EQ(comm.ReadBytes(buffer.data(), 16), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - idle, 95ms);
    // The read that timed out is over: it takes nothing that comes later.
    peer.Send({3});
    comm.Buffers().SetReadTimeout(5000);
    EXPECT_EQ(comm.ReadBytes(buffer.data(), 16), 1);
    EXPECT_EQ(buffer[0], 3);
    comm.Close();
    EXPECT_EQ(comm.ReadBytes(buffer.data(), 16), 0);
    EXPECT_EQ(comm.WriteBytes(buffer.data(), 16), 0);
}

TEST_P(LineTest, ComponentDestroyedWithAnEventInFlight) {
    auto held = std::make_shared<HeldDispatcher>();
    bool fired = false;
    {
        TVaComm doomed(held);
        doomed.SetDeviceName(peer.Port());
        doomed.SetBaudrate(br9600);
        doomed.OnRxChar = [&](TVaCustomComm&, int) { fired = true; };
        doomed.Open();
        peer.Send({0x55});
        ASSERT_TRUE(held->WaitPosted(1));
    }
    held->RunAll();  // the dispatch finds the component gone
    EXPECT_FALSE(fired);
}

TEST_P(LineTest, LowLatencyIsAskedForAtOpenAndAPortWithoutItOpensAllTheSame) {
    EXPECT_EQ(comm.LowLatency(), llNotApplicable);
    CollectReceived();
    comm.Open();
#if defined(_WIN32)
    EXPECT_EQ(comm.LowLatency(), llNotApplicable);  // the adapter's driver settings hold it
#else
    EXPECT_EQ(comm.LowLatency(), llUnsupported);  // a pseudo-terminal: nothing to ask
#endif
    peer.Send({0x55});
    ASSERT_TRUE(RunUntil([&] { return !received.empty(); }));
    EXPECT_TRUE(errors.empty()) << errors.front();
}

#if !defined(_WIN32)
TEST_P(LineTest, ThreadsAPortStartsDependOnWhoWaitsForItsEvents) {
    CollectReceived();
    comm.SetDirectWrite(true);
    const int before = SettledThreads();
    comm.Open();
    // Direct writes need no write thread; the event thread stays away when the loop waits.
    EXPECT_EQ(ThreadsOfThisProcess(), before + (GetParam() == pwByLoop ? 0 : 1));
    // A second port on the same loop gets an event thread.
    LineFarEnd otherPeer;
    TVaComm other(loop);
    other.SetDeviceName(otherPeer.Port());
    other.SetDirectWrite(true);
    Bytes otherReceived;
    other.OnRxChar = [&](TVaCustomComm& sender, int count) {
        Bytes buffer(static_cast<std::size_t>(count));
        const int got = sender.ReadBytes(buffer.data(), count);
        otherReceived.insert(otherReceived.end(), buffer.begin(), buffer.begin() + got);
        sender.WriteBytes(buffer.data(), got);
    };
    other.Open();
    EXPECT_EQ(ThreadsOfThisProcess(), before + (GetParam() == pwByLoop ? 1 : 2));
    peer.Send({1, 2});
    otherPeer.Send({3});
    ASSERT_TRUE(RunUntil([&] { return received.size() >= 2 && !otherReceived.empty(); }));
    EXPECT_EQ(received, (Bytes{1, 2}));
    EXPECT_EQ(otherPeer.Receive(1), Bytes{3});
    for (auto id : threads)
        EXPECT_EQ(id, std::this_thread::get_id());
    // Once closed, the port's events are no longer waited for: the loop sleeps on.
    comm.Close();
    peer.Send({4});
    loop->RunUntil(nullptr, 100ms);
    EXPECT_EQ(received.size(), 2u);
    EXPECT_TRUE(errors.empty()) << errors.front();
}
#endif

TEST_P(LineTest, DtrUnderHandshakeIsRefusedEvenWhenClosed) {
    comm.FlowControl().SetControlDtr(dtrHandshake);
    EXPECT_THROW(comm.SetDtr(false), EVaCommError);
    comm.FlowControl().SetControlDtr(dtrEnabled);
    EXPECT_NO_THROW(comm.SetDtr(true));
}

#if !defined(_WIN32)
TEST_P(LineTest, HungUpLineIsReportedAsTheDeviceGoneOnce) {
    int gone = 0;
    comm.OnDeviceGone = [&](TVaCustomComm& sender) {
        ++gone;
        // What follows a hang-up must not put a second report or an error in front of the user.
        const unsigned char frame[] = {0x22, 0x00};
        sender.WriteBytes(frame, 2);
    };
    CollectReceived();
    comm.Open();
    peer.Send({0x55});
    ASSERT_TRUE(RunUntil([&] { return !received.empty(); }));
    peer.HangUp();
    ASSERT_TRUE(RunUntil([&] { return gone > 0; }));
    loop->RunUntil(nullptr, 300ms);
    EXPECT_EQ(gone, 1);
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_TRUE(comm.DeviceGone());
    comm.Close();

    // Without a handler the error handler hears of it, as a device that went away.
    PtyFarEnd other;
    comm.OnDeviceGone = nullptr;
    comm.SetDeviceName(other.Port());
    comm.Open();
    other.HangUp();
    ASSERT_TRUE(RunUntil([&] { return !errors.empty(); }));
    EXPECT_EQ(errors.front().rfind("The device or its adapter went away (Error ", 0), 0u)
        << errors.front();
}
#endif
