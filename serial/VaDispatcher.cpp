// SPDX-License-Identifier: MIT
#include "serial/VaDispatcher.h"

#include "base/ScopeGuard.h"
#include "base/ThreadSafety.h"
#include "serial/VaClasses.h"

namespace {

Mutex defaultMutex;
std::shared_ptr<TVaDispatcher> defaultDispatcher GUARDED_BY(defaultMutex);

// Releases the invoking thread when the queued function has run, or when the dispatcher destroys
// it unrun: then nothing is left that could refer to the caller's `fn`.
class TInvokeDone {
public:
    void Finish() {
        MutexLock lock(mutex_);
        done_ = true;
        cv_.notify_all();
    }
    void Wait() {
        MutexLock lock(mutex_);
        lock.Wait(cv_, [this]() REQUIRES(mutex_) { return done_; });
    }

private:
    Mutex mutex_;
    std::condition_variable cv_;
    bool done_ GUARDED_BY(mutex_) = false;
};

void RunReporting(const std::function<void()>& fn) {
    try {
        fn();
    } catch (...) {
        VaHandleException(std::current_exception());
    }
}

}  // namespace

void TVaDispatcher::Invoke(const std::function<void()>& fn) {
    if (IsOwningThread()) {
        RunReporting(fn);
        return;
    }
    auto done = std::make_shared<TInvokeDone>();
    auto finish = [done] { done->Finish(); };
    auto guard = std::make_shared<ScopeGuard<decltype(finish)>>(std::move(finish));
    const std::function<void()>* target = &fn;
    Post([guard = std::move(guard), target]() mutable {
        RunReporting(*target);
        guard.reset();
    });
    done->Wait();
}

void VaSetDefaultDispatcher(std::shared_ptr<TVaDispatcher> dispatcher) {
    MutexLock lock(defaultMutex);
    defaultDispatcher = std::move(dispatcher);
}

std::shared_ptr<TVaDispatcher> VaDefaultDispatcher() {
    MutexLock lock(defaultMutex);
    return defaultDispatcher;
}
