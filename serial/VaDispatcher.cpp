// SPDX-License-Identifier: MIT
#include "serial/VaDispatcher.h"

#include <condition_variable>
#include <mutex>

#include "base/ScopeGuard.h"
#include "serial/VaClasses.h"

namespace {

std::mutex defaultMutex;
std::shared_ptr<TVaDispatcher> defaultDispatcher;

// Releases the invoking thread when the queued function has run, or when the dispatcher destroys
// it unrun: then nothing is left that could refer to the caller's `fn`.
class TInvokeDone {
public:
    void Finish() {
        std::lock_guard lock(mutex_);
        done_ = true;
        cv_.notify_all();
    }
    void Wait() {
        std::unique_lock lock(mutex_);
        cv_.wait(lock, [this] { return done_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool done_ = false;
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
    std::lock_guard lock(defaultMutex);
    defaultDispatcher = std::move(dispatcher);
}

std::shared_ptr<TVaDispatcher> VaDefaultDispatcher() {
    std::lock_guard lock(defaultMutex);
    return defaultDispatcher;
}
