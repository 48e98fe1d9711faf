// SPDX-License-Identifier: MIT
#include "serial/VaCommThreads.h"

#include <thread>

#include "base/ScopeGuard.h"
#include "serial/VaComm.h"
#include "serial/VaSystem.h"

namespace {

// A wait that fails at once (the device has gone) is retried after this pause, and so is a
// write the device refused.
constexpr int kRetryPauseMs = 50;

}  // namespace

TVaCommThread::TVaCommThread(TVaCustomComm& owner, std::shared_ptr<TVaDispatcher> dispatcher,
                             std::shared_ptr<TVaPortDevice> device,
                             std::unique_ptr<TVaPortWatch> watch)
    : device_(std::move(device)),
      watch_(std::move(watch)),
      owner_(owner),
      dispatcher_(std::move(dispatcher)) {}

void TVaCommThread::Start(TThreadPriority priority) {
    std::thread([self = shared_from_this(), priority] { self->Run(priority); }).detach();
}

void TVaCommThread::Run(TThreadPriority priority) {
    const int tid = VaCurrentThreadId();
    {
        MutexLock lock(mutex_);
        tid_ = tid;
    }
    VaSetThreadPriority(tid, priority);
    try {
        Execute();
    } catch (...) {
        // Only a failed allocation gets here; the thread ends as if stopped.
    }
    // Work still queued in the dispatcher holds this object; without this the dispatcher and
    // that work would hold each other for ever when the owning thread stops running it.
    dispatcher_.reset();
    MutexLock lock(mutex_);
    ended_ = true;
    cv_.notify_all();
}

void TVaCommThread::Stop() {
    {
        MutexLock lock(mutex_);
        terminated_.store(true);
        cv_.notify_all();
    }
    watch_->Wake();
}

void TVaCommThread::SetPriority(TThreadPriority priority) {
    // Under the lock, so that the id cannot belong to a thread that has ended meanwhile.
    MutexLock lock(mutex_);
    if (!ended_) VaSetThreadPriority(tid_, priority);
}

bool TVaCommThread::WaitEnded(std::chrono::milliseconds limit) {
    MutexLock lock(mutex_);
    return lock.WaitFor(cv_, limit, [this]() REQUIRES(mutex_) { return ended_; });
}

void TVaCommThread::FinishHandOver(std::uint64_t id) {
    MutexLock lock(mutex_);
    if (id > handOversDone_) handOversDone_ = id;
    cv_.notify_all();
}

void TVaCommThread::HandOver(std::function<void(TVaCustomComm&)> work,
                             std::function<bool()> stopWaiting) {
    std::uint64_t id;
    {
        MutexLock lock(mutex_);
        if (terminated_.load()) return;
        id = ++handOversStarted_;
    }
    auto self = shared_from_this();
    // Marks the hand-over finished when the work has run, and also when the dispatcher destroys
    // it unrun, so that the waiting thread is never left behind.
    auto finish = [self, id] { self->FinishHandOver(id); };
    auto done = std::make_shared<ScopeGuard<decltype(finish)>>(std::move(finish));
    dispatcher_->Post([self, done = std::move(done), work = std::move(work)]() mutable {
        // Runs on the owning thread, where Stop is called too: not stopped yet means the
        // component is still there.
        if (!self->terminated_.load()) {
            TVaCustomComm& owner = self->owner_;
            try {
                work(owner);
            } catch (...) {
                owner.HandleException(std::current_exception());
            }
        }
        done.reset();
    });
    MutexLock lock(mutex_);
    lock.Wait(cv_, [&]() REQUIRES(mutex_) {
        return terminated_.load() || handOversDone_ >= id || (stopWaiting && stopWaiting());
    });
}

void TVaCommEventThread::Execute() {
    while (!Terminated()) {
        std::uint32_t events = 0;
        const int error = watch_->WaitEvents(events);
        if (Terminated()) break;
        if (error) {
            watch_->Pause(kRetryPauseMs);
            continue;
        }
        if (events == 0) continue;
        HandOver([events](TVaCustomComm& comm) { comm.DispatchEvents(events); });
    }
}

void TVaCommEventSource::Ready() {
    std::uint32_t events = 0;
    // The loop saw the handle ready, so this does not wait; a failed take has nothing to hand on.
    if (watch_->TakeEvents(events) != 0 || events == 0) return;
    // May close the port, which destroys this object: nothing of it after the call.
    owner_.DispatchEvents(events);
}

TVaCommWriteThread::TVaCommWriteThread(TVaCustomComm& owner,
                                       std::shared_ptr<TVaDispatcher> dispatcher,
                                       std::shared_ptr<TVaPortDevice> device,
                                       std::unique_ptr<TVaPortWatch> watch, int capacity)
    : TVaCommThread(owner, std::move(dispatcher), std::move(device), std::move(watch)),
      buffer_(capacity) {}

bool TVaCommWriteThread::Enqueue(const void* bytes, int n, std::chrono::milliseconds timeout) {
    MutexLock lock(mutex_);
    // The write thread frees room as its writes complete and says so on cv_.
    if (!buffer_.Fits(n) &&
        !lock.WaitFor(cv_, timeout, [&]() REQUIRES(mutex_) { return buffer_.Fits(n); }))
        return false;
    buffer_.Append(bytes, n);
    if (buffer_.Count() > 0) dataReady_ = true;
    cv_.notify_all();
    return true;
}

bool TVaCommWriteThread::WaitEmpty(std::chrono::milliseconds limit) {
    MutexLock lock(mutex_);
    // Complete notifies cv_ whenever written bytes leave the buffer.
    return lock.WaitFor(cv_, limit,
                        [this]() REQUIRES(mutex_) { return Terminated() || buffer_.Count() <= 0; });
}

void TVaCommWriteThread::Complete(int written) {
    bool empty;
    {
        // Test and reset under the lock: bytes Enqueue adds meanwhile keep the data-ready flag.
        MutexLock lock(mutex_);
        buffer_.Remove(written);
        empty = buffer_.Count() <= 0;
        dataReady_ = !empty;
        cv_.notify_all();
    }
    // Bytes queued while the owning thread is still busy (a frame sent from inside a handler,
    // then a close that waits for it) must not wait behind this report: it runs later all the
    // same, on the owning thread.
    if (empty)
        HandOver([](TVaCustomComm& comm) { comm.HandleEvents(EV_TXEMPTY); },
                 [this]() REQUIRES(mutex_) { return dataReady_; });
}

void TVaCommWriteThread::Execute() {
    bool failing = false;  // the last write failed
    for (;;) {
        const unsigned char* data;
        int count;
        {
            MutexLock lock(mutex_);
            lock.Wait(cv_, [this]() REQUIRES(mutex_) { return Terminated() || dataReady_; });
            if (Terminated()) break;
            data = buffer_.Data();
            count = buffer_.Count();
        }
        // Outside the lock: the block never moves and Enqueue only appends behind these bytes.
        int written = 0;
        const int error = device_->Write(data, count, kVaWriteInBackground, written);
        if (Terminated()) break;
        if (written > 0) Complete(written);
        if (error) {
            // The bytes stay queued; the retry is paced so that a device that has gone does not
            // keep the thread spinning. Only the first failure of a run is reported: a device
            // that has gone fails every retry, and each report would put the same error in front
            // of the user again until the port is closed.
            if (!failing && VaIsDeviceGoneError(error))
                HandOver([error](TVaCustomComm& comm) { comm.ReportDeviceGone(error); });
            else if (!failing)
                HandOver([](TVaCustomComm& comm) { comm.HandleEvents(EV_ERR); });
            failing = true;
            watch_->Pause(kRetryPauseMs);
            continue;
        }
        failing = false;
        if (written < count) watch_->WaitWritable();
    }
}
