// SPDX-License-Identifier: MIT
#pragma once
// Ctrl-C (SIGINT), SIGTERM and SIGHUP while transfers run: the handler only asks the event loop
// to return, so the flasher stops every port (PortStop), each closed on its own thread, and exits
// 128 + the signal's number.
// The previous handlers come back when the guard ends. One guard at a time.
#include <csignal>

class TVaEventLoop;

class InterruptGuard {
public:
    explicit InterruptGuard(TVaEventLoop& loop);
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    // The signal that came while the guard stood, 0 when none.
    int Signal() const;

private:
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
    struct sigaction oldHup_ {};
};
