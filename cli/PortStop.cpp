// SPDX-License-Identifier: MIT
#include "cli/PortStop.h"

#include <algorithm>

#include "serial/VaEventLoop.h"

void PortStop::Add(TVaEventLoop& loop) {
    MutexLock lock(mutex_);
    loops_.push_back(&loop);
    if (stopped_) loop.Quit();
}

void PortStop::Remove(TVaEventLoop& loop) {
    MutexLock lock(mutex_);
    std::erase(loops_, &loop);
}

void PortStop::Stop(int signal) {
    MutexLock lock(mutex_);
    if (!stopped_) signal_ = signal;
    stopped_ = true;
    for (TVaEventLoop* loop : loops_)
        loop->Quit();
}

bool PortStop::Stopped() const {
    MutexLock lock(mutex_);
    return stopped_;
}

int PortStop::Signal() const {
    MutexLock lock(mutex_);
    return signal_;
}
