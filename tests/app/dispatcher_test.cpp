// SPDX-License-Identifier: MIT
// The serial component's hand-over to the window's thread.
#include <atomic>
#include <thread>

#include <QThread>

#include "AppTesting.h"
#include "app/QtDispatcher.h"

namespace app_test {
namespace {

TEST(QtDispatcher, InvokeFromAnotherThreadRunsOnTheWindowsThreadInOrder) {
    auto dispatcher = std::make_shared<TQtDispatcher>();
    std::vector<int> order;
    std::atomic<bool> ranOnOwner{true};
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        EXPECT_FALSE(dispatcher->IsOwningThread());
        dispatcher->Post([&] { order.push_back(1); });
        dispatcher->Invoke([&] {
            ranOnOwner = ranOnOwner && dispatcher->IsOwningThread();
            order.push_back(2);
        });
        // Invoke returned only after the work had run.
        EXPECT_EQ(order.size(), 2u);
        finished = true;
    });
    EXPECT_TRUE(WaitFor([&] { return finished.load(); }));
    worker.join();
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    EXPECT_TRUE(ranOnOwner);
}

TEST(QtDispatcher, AfterShutdownWorkIsDroppedAndWaitersReleased) {
    auto dispatcher = std::make_shared<TQtDispatcher>();
    dispatcher->Shutdown();
    bool ran = false;
    std::atomic<bool> released{false};
    std::thread worker([&] {
        dispatcher->Invoke([&] { ran = true; });
        released = true;
    });
    // Nothing needs the event loop to release it.
    worker.join();
    EXPECT_TRUE(released);
    QApplication::processEvents();
    EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace app_test
