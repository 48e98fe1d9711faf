// SPDX-License-Identifier: MIT
#pragma once
// The serial component's hand-over to the window's thread on Win32: posted work runs from the
// thread's message loop (nested ones included, such as that of a modal box), in the order it was
// posted.
#include <functional>

#include "serial/VaDispatcher.h"
#include "widgets/win32/WinWorkQueue.h"

class TWinDispatcher final : public TVaDispatcher {
public:
    // The constructing thread, the window's, owns it.
    TWinDispatcher() = default;

    void Post(std::function<void()> fn) override { queue_.Post(std::move(fn)); }
    bool IsOwningThread() const override { return queue_.IsOwningThread(); }

    // From now on posted work is destroyed unrun, which releases a thread waiting on it. The
    // window calls it once its port is closed.
    void Shutdown() { queue_.Shutdown(); }

    // The same queue, for the flash timer's phases.
    TWinWorkQueue& Queue() { return queue_; }

private:
    TWinWorkQueue queue_;
};
