// SPDX-License-Identifier: MIT
#include "widgets/FlashThread.h"

#include <chrono>
#include <condition_variable>
#include <thread>

#include "base/ThreadSafety.h"
#include "widgets/FlashTimer.h"

namespace {

class TFlashThreadState {
public:
    ~TFlashThreadState() { StopThread(); }

    void StartThread() {
        MutexLock guard(runLock_);
        if (thread_.joinable()) return;
        stopping_ = false;
        thread_ = std::thread([this] { Run(); });
    }

    void StopThread() {
        std::thread finished;
        {
            MutexLock guard(runLock_);
            stopping_ = true;
            finished = std::move(thread_);
        }
        wake_.notify_all();
        if (finished.joinable()) finished.join();
    }

    bool ThreadRunning() {
        MutexLock guard(runLock_);
        return thread_.joinable();
    }

private:
    void Run() {
        using clock = std::chrono::steady_clock;
        const auto period = std::chrono::milliseconds(TFlashTimer::kPeriodMs);
        auto next = clock::now() + period;
        for (;;) {
            {
                MutexLock lock(runLock_);
                if (lock.WaitUntil(wake_, next, [this]() REQUIRES(runLock_) { return stopping_; }))
                    return;
            }
            TFlashTimer::Tick();
            next += period;
            // After a long stall (a suspended machine) go on from now rather than catch up.
            const auto now = clock::now();
            if (next + period < now) next = now + period;
        }
    }

    Mutex runLock_;
    std::condition_variable wake_;  // with runLock_
    std::thread thread_ GUARDED_BY(runLock_);
    bool stopping_ GUARDED_BY(runLock_) = false;
};

TFlashThreadState& State() {
    // The flash list is made first, so that at the program's end it outlives the thread that
    // ticks it.
    (void)TFlashTimer::Count();
    static TFlashThreadState state;
    return state;
}

}  // namespace

void TFlashThread::Start() {
    State().StartThread();
}

void TFlashThread::Stop() {
    State().StopThread();
}

bool TFlashThread::Running() {
    return State().ThreadRunning();
}
