// SPDX-License-Identifier: MIT
#pragma once
// A small event loop for a thread without a window: it runs the work that other threads post
// (the serial component's hand-overs among it) until a condition holds, a time limit passes or
// someone asks it to quit. The command-line flasher and the tests run one on their main thread,
// and the flasher one on the thread of each port, which waits for that port's events itself.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>

#include "base/OwningThread.h"
#include "base/ThreadSafety.h"
#include "serial/VaDispatcher.h"
#include "serial/VaSystem.h"

// Who waits for the events of a port whose component the loop dispatches: the component's event
// thread, which hands them over (the default), or the loop itself, which then runs them without
// a hand-over, for one port at a time (TVaDispatcher::AddSource). A loop that waits itself
// suits a thread that serves one port.
enum TVaPortWaiting : std::uint8_t { pwByThread, pwByLoop };

class TVaEventLoop final : public TVaDispatcher {
public:
    // The constructing thread owns the loop: only it may run it.
    explicit TVaEventLoop(TVaPortWaiting portWaiting = pwByThread);
    // Work still queued is destroyed unrun, which releases the threads waiting for it.
    ~TVaEventLoop() override;
    TVaEventLoop(const TVaEventLoop&) = delete;
    TVaEventLoop& operator=(const TVaEventLoop&) = delete;

    void Post(std::function<void()> fn) override;
    // Queues `fn` without waking the loop: it runs in turn once the loop wakes, for work posted
    // with Post or at a time limit of RunUntil. For what may wait that long, such as progress on
    // a screen, so that it costs the busy threads no wake-up of this one.
    void PostQuietly(std::function<void()> fn);
    bool IsOwningThread() const override;
    // With pwByLoop, one source at a time; its events are taken whenever no posted work waits.
    bool AddSource(TVaEventSource& source) override;
    void RemoveSource(TVaEventSource& source) override;

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

    // Waits up to `timeoutMs` for posted work, or for the source, whose events it then runs.
    void Wait(int timeoutMs);

    const OwningThread owner_;
    const TVaPortWaiting portWaiting_;
    TVaEventSource* source_ = nullptr;  // owning thread only, as is inSource_
    bool inSource_ = false;             // the source's Ready runs
    TVaWakeup wakeup_;
    std::atomic<bool> quit_{false};
    Mutex mutex_;
    std::deque<std::function<void()>> queue_ GUARDED_BY(mutex_);
};
