// SPDX-License-Identifier: MIT
// The hand-over to the owning thread and the small event loop that serves it.
#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "base/ScopeGuard.h"
#include "serial/VaClasses.h"
#include "serial/VaEventLoop.h"

using namespace std::chrono_literals;

namespace {

TVaEventLoop* signalledLoop = nullptr;

extern "C" void QuitOnSignal(int) {
    signalledLoop->Quit();
}

}  // namespace

TEST(EventLoopTest, WorkPostedFromAnotherThreadRunsOnTheOwnerInOrder) {
    TVaEventLoop loop;
    std::vector<int> order;
    bool ranOnOwner = true;
    std::thread worker([&] {
        EXPECT_FALSE(loop.IsOwningThread());
        for (int i = 1; i <= 2; ++i)
            loop.Post([&, i] {
                ranOnOwner = ranOnOwner && loop.IsOwningThread();
                order.push_back(i);
            });
    });
    worker.join();
    EXPECT_TRUE(loop.RunUntil([&] { return order.size() == 2; }, 10s));
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    EXPECT_TRUE(ranOnOwner);
}

TEST(EventLoopTest, QuietWorkWaitsForTheNextWakeInItsPlace) {
    TVaEventLoop loop;
    std::vector<int> order;
    std::atomic<bool> woken{false};
    bool ranAfterTheWake = false;
    std::thread worker([&] {
        std::this_thread::sleep_for(20ms);  // the owner waits by now, or soon
        loop.PostQuietly([&] {
            ranAfterTheWake = woken.load();
            order.push_back(1);
        });
        std::this_thread::sleep_for(50ms);
        woken = true;
        loop.Post([&] { order.push_back(2); });
    });
    EXPECT_TRUE(loop.RunUntil([&] { return order.size() == 2; }, 10s));
    worker.join();
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    EXPECT_TRUE(ranAfterTheWake);
}

TEST(EventLoopTest, DestroyedLoopDropsQueuedWorkUnrun) {
    auto loop = std::make_unique<TVaEventLoop>();
    bool ran = false;
    bool released = false;
    // What a waiting thread relies on: the dropped work is destroyed, its captures with it.
    auto guard = std::make_shared<ScopeGuard<std::function<void()>>>([&] { released = true; });
    loop->Post([&ran, guard] { ran = true; });
    guard.reset();
    EXPECT_FALSE(released);
    loop.reset();
    EXPECT_TRUE(released);
    EXPECT_FALSE(ran);
}

TEST(EventLoopTest, RunUntilEndsOnConditionDeadlineOrQuit) {
    TVaEventLoop loop;
    int step = 0;
    loop.Post([&] { step = 1; });
    loop.Post([&] { step = 2; });
    EXPECT_TRUE(loop.RunUntil([&] { return step == 1; }, 10s));
    EXPECT_EQ(step, 1) << "work ran past the condition";
    EXPECT_FALSE(loop.RunUntil([] { return false; }, 20ms));
    EXPECT_EQ(step, 2);

    std::thread quitter([&] { loop.Quit(); });
    EXPECT_FALSE(loop.RunUntil(nullptr, 10s));
    quitter.join();
    EXPECT_TRUE(loop.QuitRequested());
    loop.ResetQuit();

    signalledLoop = &loop;
    // SIGTERM: a signal that the C runtimes of Linux and Windows both raise.
    std::signal(SIGTERM, QuitOnSignal);
    loop.Post([] { std::raise(SIGTERM); });
    EXPECT_FALSE(loop.RunUntil([] { return false; }, 10s));
    EXPECT_TRUE(loop.QuitRequested());
    std::signal(SIGTERM, SIG_DFL);
}

TEST(EventLoopTest, ErrorsInPostedWorkGoToTheApplicationHandler) {
    std::vector<std::string> seen;
    VaSetApplicationExceptionHandler([&](const std::exception& e) { seen.push_back(e.what()); });
    TVaEventLoop loop;
    bool after = false;
    loop.Post([] { throw std::runtime_error("posted work failed"); });
    loop.Post([] { throw 42; });
    loop.Post([&] { after = true; });
    EXPECT_TRUE(loop.RunUntil([&] { return after; }, 10s));
    VaSetApplicationExceptionHandler(nullptr);
    EXPECT_EQ(seen, (std::vector<std::string>{"posted work failed", "Unknown error"}));
}
