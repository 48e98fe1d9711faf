// SPDX-License-Identifier: MIT
#pragma once
// The thread an object belongs to: the one that made it. Objects whose calls must all come from
// one thread (the transfer, the window, the event loop) hold one and assert IsCurrent() in the
// calls that belong to it, in debug and sanitizer builds.
#include <thread>

class OwningThread {
public:
    OwningThread() : owner_(std::this_thread::get_id()) {}

    bool IsCurrent() const { return std::this_thread::get_id() == owner_; }

private:
    const std::thread::id owner_;
};
