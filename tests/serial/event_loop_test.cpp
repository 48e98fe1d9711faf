// SPDX-License-Identifier: MIT
// The hand-over to the owning thread and the small event loop that serves it.
#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <functional>
#include <thread>

#include "serial/VaClasses.h"
#include "serial/VaEventLoop.h"

using namespace std::chrono_literals;

namespace {

TVaEventLoop* signalledLoop = nullptr;

extern "C" void QuitOnSignal(int) {
    signalledLoop->Quit();
}

// Passes everything on to a loop and notes when work has been queued in it.
class NotingDispatcher final : public TVaDispatcher {
public:
    explicit NotingDispatcher(TVaEventLoop& loop) : loop_(loop) {}
    void Post(std::function<void()> fn) override {
        loop_.Post(std::move(fn));
        posted = true;
    }
    bool IsOwningThread() const override { return loop_.IsOwningThread(); }

    std::atomic<bool> posted{false};

private:
    TVaEventLoop& loop_;
};

}  // namespace

TEST(EventLoopTest, InvokeRunsOnTheOwnerAndWaits) {
    TVaEventLoop loop;
    std::thread::id ranOn;
    bool returned = false;
    std::thread worker([&] {
        loop.Invoke([&] { ranOn = std::this_thread::get_id(); });
        returned = true;  // read by the owner only after the join
    });
    EXPECT_TRUE(loop.RunUntil([&] { return ranOn != std::thread::id(); }, 10s));
    worker.join();
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    EXPECT_TRUE(returned);

    bool direct = false;
    loop.Invoke([&] { direct = true; });  // on the owner: at once, no deadlock
    EXPECT_TRUE(direct);
}

TEST(EventLoopTest, DestroyedLoopReleasesWaitingInvokes) {
    auto loop = std::make_unique<TVaEventLoop>();
    NotingDispatcher dispatcher(*loop);
    std::atomic<bool> ran{false}, returned{false};
    std::thread worker([&] {
        dispatcher.Invoke([&] { ran = true; });
        returned = true;
    });
    // Destroying the loop while the worker's work waits in it drops the work and releases it.
    for (int i = 0; i < 10000 && !dispatcher.posted; ++i)
        std::this_thread::sleep_for(1ms);
    ASSERT_TRUE(dispatcher.posted);
    loop.reset();
    worker.join();
    EXPECT_TRUE(returned);
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
    std::signal(SIGUSR1, QuitOnSignal);
    loop.Post([] { std::raise(SIGUSR1); });
    EXPECT_FALSE(loop.RunUntil([] { return false; }, 10s));
    EXPECT_TRUE(loop.QuitRequested());
    std::signal(SIGUSR1, SIG_DFL);
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
