// SPDX-License-Identifier: MIT
#pragma once
// The component's two worker threads. Each is shared between the component, the thread itself
// and the work it hands to the owning thread, so that it may outlive a Close or the component:
// once stopped, it never touches the component again, and work it handed over finds it stopped
// and does nothing.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>

#include "base/ThreadSafety.h"
#include "serial/VaDispatcher.h"
#include "serial/VaObjects.h"
#include "serial/VaPort.h"
#include "serial/VaTypes.h"

class TVaCustomComm;

class TVaCommThread : public std::enable_shared_from_this<TVaCommThread> {
public:
    TVaCommThread(TVaCustomComm& owner, std::shared_ptr<TVaDispatcher> dispatcher,
                  std::shared_ptr<TVaPortDevice> device, std::unique_ptr<TVaPortWatch> watch);
    virtual ~TVaCommThread() = default;
    TVaCommThread(const TVaCommThread&) = delete;
    TVaCommThread& operator=(const TVaCommThread&) = delete;

    // Starts the thread; it runs on its own and frees itself when it ends. Raises
    // std::system_error when the system refuses a thread.
    void Start(TThreadPriority priority);
    // From the owning thread: ends every wait of the thread, a pending hand-over among them.
    // What it handed over and has not run yet will do nothing when it runs.
    void Stop();
    void SetPriority(TThreadPriority priority);
    // Whether the thread has ended within `limit`.
    bool WaitEnded(std::chrono::milliseconds limit);

protected:
    virtual void Execute() = 0;

    bool Terminated() const { return terminated_.load(); }
    // Runs `work` on the owning thread and returns once it has run there, or at once after
    // Stop. Exceptions from `work` go to the component's error handler.
    // `stopWaiting`, called with mutex_ held, lets the thread go on before the work has run.
    void HandOver(std::function<void(TVaCustomComm&)> work,
                  std::function<bool()> stopWaiting = nullptr) EXCLUDES(mutex_);

    const std::shared_ptr<TVaPortDevice> device_;
    const std::unique_ptr<TVaPortWatch> watch_;
    Mutex mutex_;
    std::condition_variable cv_;  // with mutex_

private:
    void Run(TThreadPriority priority);
    void FinishHandOver(std::uint64_t id);

    TVaCustomComm& owner_;  // touched only on the owning thread, and only before Stop
    std::shared_ptr<TVaDispatcher> dispatcher_;  // used and released by the thread alone
    std::atomic<bool> terminated_{false};
    int tid_ GUARDED_BY(mutex_) = 0;
    bool ended_ GUARDED_BY(mutex_) = false;
    std::uint64_t handOversStarted_ GUARDED_BY(mutex_) = 0;
    std::uint64_t handOversDone_ GUARDED_BY(mutex_) = 0;
};

// Waits for port events and hands every batch to the owning thread's DispatchEvents.
class TVaCommEventThread final : public TVaCommThread {
public:
    using TVaCommThread::TVaCommThread;

protected:
    void Execute() override;
};

// The event thread's work done by the owning thread's event loop, for a dispatcher that waits
// for the port itself (TVaDispatcher::AddSource): the events of the watch go to DispatchEvents
// as soon as the loop sees them, without a thread and a hand-over between.
class TVaCommEventSource final : public TVaEventSource {
public:
    TVaCommEventSource(TVaCustomComm& owner, std::unique_ptr<TVaPortWatch> watch)
        : owner_(owner), watch_(std::move(watch)) {}

    std::intptr_t ReadyHandle() const override { return watch_->ReadyHandle(); }
    void Ready() override;
    // For an event thread after all, when the dispatcher did not take the source.
    std::unique_ptr<TVaPortWatch> TakeWatch() { return std::move(watch_); }

private:
    TVaCustomComm& owner_;
    std::unique_ptr<TVaPortWatch> watch_;
};

// Sends what WriteBytes queued in its transmit buffer, and reports the buffer empty (OnTxEmpty)
// and failed writes (OnError) on the owning thread.
class TVaCommWriteThread final : public TVaCommThread {
public:
    TVaCommWriteThread(TVaCustomComm& owner, std::shared_ptr<TVaDispatcher> dispatcher,
                       std::shared_ptr<TVaPortDevice> device, std::unique_ptr<TVaPortWatch> watch,
                       int capacity);

    // Queues the bytes, waiting up to `timeout` for room; false when there was none in time
    // (nothing of them is queued then).
    bool Enqueue(const void* bytes, int n, std::chrono::milliseconds timeout);
    // Waits up to `limit` until every queued byte has been handed to the device (or the thread
    // was stopped); false when bytes are still queued.
    bool WaitEmpty(std::chrono::milliseconds limit);

protected:
    void Execute() override;

private:
    void Complete(int written);

    TVaCommBuffer buffer_ GUARDED_BY(mutex_);
    bool dataReady_ GUARDED_BY(mutex_) = false;
};
