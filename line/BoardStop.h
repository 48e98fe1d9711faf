// SPDX-License-Identifier: MIT
#pragma once
// What stops a board session from outside: the front end's stop requests (Ctrl-C, SIGTERM,
// SIGHUP, a closed console) quit the event loops it watches, and tell which request it was.
// Callable from any thread.
class TVaEventLoop;

// The requests that stop a flash, numbered as the POSIX signals that bring them, so that the
// exit status is 128 + the number on every system.
inline constexpr int kSignalHangUp = 1;
inline constexpr int kSignalInterrupt = 2;
inline constexpr int kSignalTerminate = 15;

class BoardStop {
public:
    virtual ~BoardStop() = default;

    // Watches `loop` until Remove; a loop added after the stop quits at once.
    virtual void Add(TVaEventLoop& loop) = 0;
    virtual void Remove(TVaEventLoop& loop) = 0;
    virtual bool Stopped() const = 0;
    // The request that stopped, numbered as the POSIX signal that brings it; 0 before.
    virtual int Signal() const = 0;
};
