// SPDX-License-Identifier: MIT
// The serial component's hand-over to the window's thread.
#include <atomic>
#include <thread>

#include <QThread>

#include "AppTesting.h"
#include "app/qt/QtDispatcher.h"
#include "base/ScopeGuard.h"

namespace app_test {
namespace {

TEST(QtDispatcher, WorkFromAnotherThreadRunsOnTheWindowsThreadInOrder) {
    auto dispatcher = std::make_shared<TQtDispatcher>();
    std::vector<int> order;
    bool ranOnOwner = true;
    std::thread worker([&] {
        EXPECT_FALSE(dispatcher->IsOwningThread());
        for (int i = 1; i <= 2; ++i)
            dispatcher->Post([&, i] {
                ranOnOwner = ranOnOwner && dispatcher->IsOwningThread();
                order.push_back(i);
            });
    });
    worker.join();
    EXPECT_TRUE(WaitFor([&] { return order.size() == 2; }));
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    EXPECT_TRUE(ranOnOwner);
}

TEST(QtDispatcher, AfterShutdownWorkIsDroppedAtOnce) {
    auto dispatcher = std::make_shared<TQtDispatcher>();
    dispatcher->Shutdown();
    bool ran = false;
    std::atomic<bool> released{false};
    std::thread worker([&] {
        auto guard = std::make_shared<ScopeGuard<std::function<void()>>>([&] { released = true; });
        dispatcher->Post([&ran, guard] { ran = true; });
    });
    // Nothing needs the event loop to release a thread waiting for it.
    worker.join();
    EXPECT_TRUE(released);
    QApplication::processEvents();
    EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace app_test
