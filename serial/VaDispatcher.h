// SPDX-License-Identifier: MIT
#pragma once
// The hand-over to the component's owning thread. The serial threads never touch the component
// themselves: they queue the work for the thread that owns it (the window's thread, or the main
// thread of the command line running a TVaEventLoop) and wait until it has run there.
#include <functional>
#include <memory>

class TVaDispatcher {
public:
    virtual ~TVaDispatcher() = default;

    // Queues `fn` to run once on the owning thread and returns at once; callable from any thread.
    // A dispatcher that shuts down may destroy queued functions without running them.
    virtual void Post(std::function<void()> fn) = 0;

    // True on the owning thread.
    virtual bool IsOwningThread() const = 0;

    // Runs `fn` on the owning thread and returns once it has run, or once the dispatcher dropped
    // it unrun. On the owning thread itself `fn` runs directly. An exception from `fn` goes to the
    // application error handler; it is not passed back. The default builds on Post; a dispatcher
    // may do better.
    virtual void Invoke(const std::function<void()>& fn);
};

// The dispatcher that components use when none was given to them; set once by the program's
// start-up (the window's, or the command line's event loop).
void VaSetDefaultDispatcher(std::shared_ptr<TVaDispatcher> dispatcher);
std::shared_ptr<TVaDispatcher> VaDefaultDispatcher();
