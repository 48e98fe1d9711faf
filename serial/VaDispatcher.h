// SPDX-License-Identifier: MIT
#pragma once
// The hand-over to the component's owning thread. The serial threads never touch the component
// themselves: they post the work to the thread that owns it (the window's thread, or the main
// thread of the command line running a TVaEventLoop) and wait until it has run there, or until
// it was dropped, or until they are stopped (TVaCommThread::HandOver).
#include <cstdint>
#include <functional>

// What a dispatcher may wait for itself besides the work posted to it (TVaDispatcher::AddSource):
// a port's events, say.
class TVaEventSource {
public:
    virtual ~TVaEventSource() = default;
    // The system handle that becomes ready when the source has something (a port watch's
    // ReadyHandle).
    virtual std::intptr_t ReadyHandle() const = 0;
    // On the owning thread, once the handle is ready. It may remove, and so destroy, the source.
    virtual void Ready() = 0;
};

class TVaDispatcher {
public:
    virtual ~TVaDispatcher() = default;

    // Queues `fn` to run once on the owning thread and returns at once; callable from any thread.
    // A dispatcher that shuts down destroys queued functions without running them, which is how
    // a thread waiting for one learns that it will not run.
    virtual void Post(std::function<void()> fn) = 0;

    // True on the owning thread.
    virtual bool IsOwningThread() const = 0;

    // On the owning thread: offers the dispatcher a source to wait for itself, so that what the
    // source brings runs on the owning thread without a thread of its own waiting for it and
    // handing it over. True when taken, until RemoveSource; false when the dispatcher does not
    // wait for sources (the default) or has one already.
    virtual bool AddSource(TVaEventSource& source) {
        (void)source;
        return false;
    }
    virtual void RemoveSource(TVaEventSource& source) { (void)source; }
};
