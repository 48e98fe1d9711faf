// SPDX-License-Identifier: MIT
#pragma once
// A small event loop for a thread without a window: it runs the work that other threads post
// (the serial component's hand-overs among it) until a condition holds, a time limit passes or
// someone asks it to quit. The command-line flasher and the tests run one on their main thread.
#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include "base/OwningThread.h"
#include "base/ThreadSafety.h"
#include "serial/VaDispatcher.h"
#include "serial/VaSystem.h"

class TVaEventLoop final : public TVaDispatcher {
public:
    // The constructing thread owns the loop: only it may run it.
    TVaEventLoop();
    // Work still queued is destroyed unrun, which releases the threads waiting for it.
    ~TVaEventLoop() override;
    TVaEventLoop(const TVaEventLoop&) = delete;
    TVaEventLoop& operator=(const TVaEventLoop&) = delete;

    void Post(std::function<void()> fn) override;
    bool IsOwningThread() const override;

    // Runs posted work until `done` holds (tested before every wait and after every piece of
    // work), until Quit, or until `limit` has passed. Returns whether `done` held. A null `done`
    // never holds.
    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);
    // Runs the work queued now, without waiting for more and whatever Quit asked: what the
    // threads posted before they ended (their last reports) is not lost.
    void ProcessPending();

    // Makes RunUntil return, now and until ResetQuit. Callable from any thread and from a signal
    // handler: it only touches an atomic flag and the wake-up.
    void Quit() noexcept;
    bool QuitRequested() const { return quit_.load(); }
    void ResetQuit() { quit_.store(false); }

private:
    bool RunOne();

    const OwningThread owner_;
    TVaWakeup wakeup_;
    std::atomic<bool> quit_{false};
    Mutex mutex_;
    std::deque<std::function<void()>> queue_ GUARDED_BY(mutex_);
};
