// SPDX-License-Identifier: MIT
#pragma once
// The hand-over to the component's owning thread. The serial threads never touch the component
// themselves: they post the work to the thread that owns it (the window's thread, or the main
// thread of the command line running a TVaEventLoop) and wait until it has run there, or until
// it was dropped, or until they are stopped (TVaCommThread::HandOver).
#include <functional>

class TVaDispatcher {
public:
    virtual ~TVaDispatcher() = default;

    // Queues `fn` to run once on the owning thread and returns at once; callable from any thread.
    // A dispatcher that shuts down destroys queued functions without running them, which is how
    // a thread waiting for one learns that it will not run.
    virtual void Post(std::function<void()> fn) = 0;

    // True on the owning thread.
    virtual bool IsOwningThread() const = 0;
};
