// SPDX-License-Identifier: MIT
#include "cli/PortStop.h"

#include <algorithm>

#include "serial/VaEventLoop.h"

void PortStop::Add(TVaEventLoop& loop) {
    std::lock_guard lock(mutex_);
    loops_.push_back(&loop);
    if (stopped_) loop.Quit();
}

void PortStop::Remove(TVaEventLoop& loop) {
    std::lock_guard lock(mutex_);
    std::erase(loops_, &loop);
}

void PortStop::Stop(int signal) {
    std::lock_guard lock(mutex_);
    if (!stopped_) signal_ = signal;
    stopped_ = true;
    for (TVaEventLoop* loop : loops_)
        loop->Quit();
}

bool PortStop::Stopped() const {
    std::lock_guard lock(mutex_);
    return stopped_;
}

int PortStop::Signal() const {
    std::lock_guard lock(mutex_);
    return signal_;
}
