// SPDX-License-Identifier: MIT
#include "serial/VaEventLoop.h"

#include <cassert>

#include "serial/VaClasses.h"

TVaEventLoop::TVaEventLoop(TVaPortWaiting portWaiting) : portWaiting_(portWaiting) {}

TVaEventLoop::~TVaEventLoop() {
    std::deque<std::function<void()>> dropped;
    {
        MutexLock lock(mutex_);
        dropped.swap(queue_);
    }
    dropped.clear();
}

void TVaEventLoop::Post(std::function<void()> fn) {
    PostQuietly(std::move(fn));
    // The owning thread itself looks at the queue before it waits again.
    if (!owner_.IsCurrent()) wakeup_.Wake();
}

void TVaEventLoop::PostQuietly(std::function<void()> fn) {
    MutexLock lock(mutex_);
    queue_.push_back(std::move(fn));
}

bool TVaEventLoop::IsOwningThread() const {
    return owner_.IsCurrent();
}

bool TVaEventLoop::AddSource(TVaEventSource& source) {
    assert(owner_.IsCurrent());
    if (portWaiting_ != pwByLoop || source_ || source.ReadyHandle() == -1) return false;
    source_ = &source;
    return true;
}

void TVaEventLoop::RemoveSource(TVaEventSource& source) {
    assert(owner_.IsCurrent());
    if (source_ == &source) source_ = nullptr;
}

void TVaEventLoop::Wait(int timeoutMs) {
    TVaEventSource* source = source_;
    // A loop run from inside the source's own work leaves the source alone, as an event thread
    // waiting for its hand-over would: a receive step is never re-entered.
    if (!source || inSource_) {
        wakeup_.Wait(timeoutMs);
        return;
    }
    if (!wakeup_.Wait(timeoutMs, source->ReadyHandle())) return;
    inSource_ = true;
    // Nothing of the source after this: it may have removed itself.
    try {
        source->Ready();
    } catch (...) {
        VaHandleException(std::current_exception());
    }
    inSource_ = false;
}

void TVaEventLoop::Quit() noexcept {
    quit_.store(true);
    wakeup_.Wake();
}

bool TVaEventLoop::RunOne() {
    std::function<void()> fn;
    {
        MutexLock lock(mutex_);
        if (queue_.empty()) return false;
        fn = std::move(queue_.front());
        queue_.pop_front();
    }
    try {
        fn();
    } catch (...) {
        VaHandleException(std::current_exception());
    }
    return true;
}

void TVaEventLoop::ProcessPending() {
    std::size_t pending;
    {
        MutexLock lock(mutex_);
        pending = queue_.size();
    }
    // Only what was there on entry: work that posts more work must not keep us here for ever.
    while (pending-- > 0 && RunOne()) {
    }
}

bool TVaEventLoop::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    using Clock = std::chrono::steady_clock;
    const bool unlimited = limit >= std::chrono::hours(24 * 365);
    const auto deadline = unlimited ? Clock::time_point::max() : Clock::now() + limit;
    for (;;) {
        if (done && done()) return true;
        if (quit_.load()) return false;
        if (RunOne()) continue;
        int timeoutMs = -1;
        if (!unlimited) {
            const auto left = deadline - Clock::now();
            if (left <= Clock::duration::zero()) return false;
            const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
            timeoutMs = ms > 1000000 ? 1000000 : static_cast<int>(ms);
        }
        Wait(timeoutMs);
    }
}
