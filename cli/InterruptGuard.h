// SPDX-License-Identifier: MIT
#pragma once
// Ctrl-C, SIGTERM and SIGHUP while transfers run: the handler only asks the event loop to
// return, so the flasher stops every port (PortStop), each closed on its own thread, and exits
// 128 + the signal's number. On Windows the console's Ctrl-C and Ctrl-Break are the interrupt,
// and a console window closed, a log-off or a shut-down the hang-up: the system ends the program
// once the handler returns, so the handler waits for the guard to end, every port closed.
// The previous handlers come back when the guard ends. One guard at a time.
#include <functional>
#include <memory>

#include "line/BoardStop.h"

class TVaEventLoop;

class InterruptGuard {
public:
    explicit InterruptGuard(TVaEventLoop& loop);
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    // The request that came while the guard stood (kSignalHangUp, ...), 0 when none.
    int Signal() const;

    // Runs `start`; the threads it starts leave the stop requests to the guard's thread.
    static void StartThreads(const std::function<void()>& start);

private:
    struct Saved;
    const std::unique_ptr<Saved> saved_;
};
