// SPDX-License-Identifier: MIT
#pragma once
// tevr-flash's side of one board's session: runs the line's BoardSession on one port and tells
// its FlashReport what happens in words, and how the board ended as a BoardResult with its
// message. Everything of a session (its making, Attempt, every handler of its port, its end)
// happens on the thread that made it.
#include <chrono>
#include <cstdint>
#include <string>

#include "cli/FlashReport.h"
#include "cli/ReportRelay.h"
#include "line/BoardSession.h"

class PortStop;

struct FlashOptions {
    std::string file;
    std::string port;  // a path, or COM1 to COM8
    std::chrono::milliseconds timeout{10000};
    bool log = false;  // the exchange log as lines of the report
    // Station mode: no time limit while the port waits for a board to greet.
    bool waitForBoard = false;
};

class FlashSession : private BoardSessionObserver {
public:
    // `script`: the converted update file (its transfer script and ScriptLineCount), which outlives
    // the session. `stop` quits the session's event loop for a signal.
    FlashSession(FlashOptions options, const ConvertedUpdate& script, FlashReport& report,
                 PortStop& stop);
    ~FlashSession() override;
    FlashSession(const FlashSession&) = delete;
    FlashSession& operator=(const FlashSession&) = delete;

    // One board: opens the port, waits for the board's greeting, transfers and closes the port.
    // Never throws for the port, the transfer or the update file: a failure is in the result,
    // which also goes to the report's Ended.
    BoardResult Attempt();

private:
    void Waiting(const std::string& port) override;
    void Greeted() override;
    void Started(int64_t blocksTotal, Clock::time_point at) override;
    void Confirmed(int64_t blocksConfirmed, Clock::time_point at) override;
    void Finished(int64_t blocksConfirmed, Clock::time_point at) override;
    void WrongChecksum(uint32_t blockAddress, uint8_t expected, uint8_t received) override;
    void Refused(TransferMessage message) override;
    void Logged(const std::string& line) override;
    // What to do with a board left in its boot loader; `station`: a station that goes on.
    static std::string RestartHint(bool station);

    const FlashOptions options_;
    BoardSession session_;
    // What the session tells, passed on by its loop once the handler that told it has returned:
    // after the next frame has left.
    ReportRelay report_;
};
