// SPDX-License-Identifier: MIT
// The Win32 desktop of the controls without a display: the work queue of the window's thread
// and the multimedia flash tick. (What the hosts of the controls show needs windows that only a
// display gives: the window's test under Xvfb drives them.)
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "widgets/AbBinGControl.h"
#include "widgets/FlashTimer.h"
#include "widgets/win32/MmFlashTimer.h"
#include "widgets/win32/WinWorkQueue.h"

namespace {

// Runs the thread's messages until `done` or two seconds have passed.
template <typename TDone>
bool PumpUntil(TDone done) {
    const DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < 2000) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        if (!done()) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return done();
}

// Counts how many of its copies were destroyed without having run.
struct DropCounter {
    std::shared_ptr<std::atomic<int>> dropped = std::make_shared<std::atomic<int>>(0);
    std::function<void()> Work() {
        struct Mark {
            std::shared_ptr<std::atomic<int>> dropped;
            bool ran = false;
            ~Mark() {
                if (!ran) ++*dropped;
            }
        };
        auto mark = std::make_shared<Mark>();
        mark->dropped = dropped;
        return [mark] { mark->ran = true; };
    }
};

}  // namespace

TEST(WinWorkQueue, RunsWorkFromOtherThreadsInOrderAlsoInANestedLoopAndDropsItAtShutdown) {
    TWinWorkQueue queue;
    std::vector<int> order;
    bool nestedRan = false;
    queue.Post([&] {
        order.push_back(1);
        // A modal box's loop: what comes meanwhile runs inside it, still in order.
        EXPECT_TRUE(PumpUntil([&] { return nestedRan; }));
    });
    std::thread other([&] {
        queue.Post([&] { order.push_back(2); });
        queue.Post([&] {
            EXPECT_TRUE(queue.IsOwningThread());
            order.push_back(3);
            nestedRan = true;
        });
    });
    other.join();
    EXPECT_TRUE(PumpUntil([&] { return order.size() == 3; }));
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));

    DropCounter counter;
    queue.Post(counter.Work());
    queue.Shutdown();
    queue.Post(counter.Work());
    EXPECT_EQ(*counter.dropped, 2);  // queued and later work, destroyed unrun
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
}

TEST(MmFlashTimer, TicksEveryFiftyMillisecondsAndPostsPhasesToTheWindowThread) {
    class Flasher final : public TAbBinGControl {
    public:
        using TAbBinGControl::TAbBinGControl;
        void Paint(TCanvas&) override {}
        std::vector<bool> phases;
        DWORD thread = 0;

    protected:
        void FlashPhase(bool on) override {
            phases.push_back(on);
            thread = GetCurrentThreadId();
        }
    };
    TWinWorkQueue queue;
    TOwner owner;
    Flasher control(&owner);
    control.SetFrequency(ff8Hz);
    control.SetFlashing(true);
    control.SetChecked(true);
    {
        const TMmFlashTimer timer(queue);
        ASSERT_TRUE(timer.Running());
        EXPECT_TRUE(PumpUntil([&] { return control.phases.size() >= 4; }));
    }
    EXPECT_EQ(control.thread, GetCurrentThreadId());
    const uint32_t stopped = TFlashTimer::TickCounter();
    Sleep(150);
    EXPECT_EQ(TFlashTimer::TickCounter(), stopped);  // killed with the object
    control.SetChecked(false);
}
