// SPDX-License-Identifier: MIT
#pragma once
// One board on one port, as a job with a result: the session core driven over the serial
// component, opened with the boot loader's line settings, on the event loop of the thread that
// made the session. Attempt runs that loop until the core has ended (done, stalled, stopped or
// failed), waiting for the port's events or the core's next deadline, whichever comes first;
// the core's rules are tevr-flash's: a stall time-out, and any error ends the board. What
// happens on the way goes to its BoardSessionObserver, how it ended comes back as one
// BoardSessionResult; neither carries words. Everything of a session (its making, Attempt,
// every handler of its port, its end) happens on that one thread.
#include <chrono>
#include <memory>
#include <string>

#include "line/BoardSessionCore.h"
#include "line/BoardSessionObserver.h"
#include "line/BoardSessionResult.h"
#include "line/BoardStop.h"
#include "line/VaCommTransferPort.h"
#include "serial/VaComm.h"
#include "serial/VaEventLoop.h"

struct BoardSessionOptions {
    std::string port;  // a path, or COM1 to COM8
    // Without a frame going out for this long the session is stalled.
    std::chrono::milliseconds timeout{10000};
    // Station mode: no time limit while the port waits for a board to greet.
    bool waitForBoard = false;
};

class BoardSession {
public:
    using Clock = std::chrono::steady_clock;

    // `script`: the converted update file, which outlives the session. `stop` quits the
    // session's event loop.
    BoardSession(BoardSessionOptions options, const ConvertedUpdate& script,
                 BoardSessionObserver& observer, BoardStop& stop);
    ~BoardSession();
    BoardSession(const BoardSession&) = delete;
    BoardSession& operator=(const BoardSession&) = delete;

    // One board: opens the port, waits for the board's greeting, transfers and closes the port.
    // Never throws for the port, the transfer or the update file: a failure is in the result.
    BoardSessionResult Attempt();

    // The loop of the session's thread, which waits for the port itself: the device's answers
    // reach the transfer without a thread handing them over, and the next frame is written by
    // the handler directly. A front end may post to it what is to follow a handler.
    TVaEventLoop& Loop() { return *loop_; }

private:
    // After each event: the frames written directly have reached the driver once WriteBytes
    // returned.
    void TellWritten();

    const BoardSessionOptions options_;
    BoardStop& stop_;
    std::shared_ptr<TVaEventLoop> loop_;
    TVaComm comm_;
    VaCommTransferPort port_;
    const ConvertedUpdate& script_;
    BoardSessionCore core_;
};
