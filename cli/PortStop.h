// SPDX-License-Identifier: MIT
#pragma once
// Ctrl-C, SIGTERM or SIGHUP for every port at once: the main thread, told by its InterruptGuard,
// stops here, and each port's event loop, on a thread of its own, returns at once; its flash
// then closes its port on that thread. Callable from any thread.
#include <vector>

#include "base/ThreadSafety.h"
#include "line/BoardStop.h"

class PortStop final : public BoardStop {
public:
    // Watches `loop` until Remove; a loop added after the stop quits at once.
    void Add(TVaEventLoop& loop) override;
    void Remove(TVaEventLoop& loop) override;
    // Quits every loop; `signal` is the one that asked for it.
    void Stop(int signal);
    bool Stopped() const override;
    // The signal of Stop, 0 before.
    int Signal() const override;

private:
    mutable Mutex mutex_;
    std::vector<TVaEventLoop*> loops_ GUARDED_BY(mutex_);
    bool stopped_ GUARDED_BY(mutex_) = false;
    int signal_ GUARDED_BY(mutex_) = 0;
};
