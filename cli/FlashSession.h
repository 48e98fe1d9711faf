// SPDX-License-Identifier: MIT
#pragma once
// The flash of one port: opens it with the boot loader's line settings, runs the transfer of the
// converted script on the event loop of the thread that made the session until the end command
// has gone out, and tells its FlashReport as it goes. Also stops a transfer that makes no
// progress, and one stopped by a signal, closing the port in both cases. Everything of a session
// (its making, Attempt, every handler of its port, its end) happens on that one thread.
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "cli/FlashReport.h"
#include "cli/ReportRelay.h"
#include "cli/SubjectError.h"
#include "line/VaCommTransferPort.h"
#include "loader/BootLoaderTransfer.h"
#include "serial/VaComm.h"
#include "serial/VaEventLoop.h"

class PortStop;

struct FlashOptions {
    std::string file;
    std::string port;  // a path, or COM1 to COM8
    std::chrono::milliseconds timeout{10000};
    bool log = false;  // the exchange log as lines of the report
    // Station mode: no time limit while the port waits for a board to greet.
    bool waitForBoard = false;
};

class FlashSession : private TransferObserver {
public:
    // `script`: the converted update file (Memo2 and ScriptLineCount), which outlives the
    // session. `stop` quits the session's event loop for a signal.
    FlashSession(FlashOptions options, const UpdateLists& script, FlashReport& report,
                 PortStop& stop);
    ~FlashSession();
    FlashSession(const FlashSession&) = delete;
    FlashSession& operator=(const FlashSession&) = delete;

    // One board: opens the port, waits for the board's greeting, transfers and closes the port.
    // Never throws for the port, the transfer or the update file: a failure is in the result,
    // which also goes to the report's Ended.
    BoardResult Attempt();

private:
    enum class Outcome { Completed, Stalled, Interrupted, Failed };

    // Opens the port and starts the transfer; false with failure_ set when it did not start.
    bool Start();
    Outcome Drive();
    void Finish(Outcome outcome, BoardResult& result);
    // What the transfer tells.
    void Logged(const std::string& line) override;
    void Happened(const TransferEvent& event) override;
    void Greeted(TLinkState linkState);
    void TransferCompleted(int64_t blocksConfirmed);
    bool WaitForEndCommand();
    void Stop();
    void NoteWhereItStopped();
    std::string StallReason() const;
    SubjectError FailureError() const;
    // An error of the update file is about FILE, the rest about PORT.
    SubjectError ErrorAbout(const std::exception& error) const;

    const FlashOptions options_;
    PortStop& stop_;
    // Waits for the port itself: the device's answers reach the transfer without a thread
    // handing them over.
    std::shared_ptr<TVaEventLoop> loop_;
    // What the session tells, passed on by this loop once the handler that told it has returned:
    // after the next frame has left.
    ReportRelay report_;
    TVaComm comm_;
    VaCommTransferPort port_;
    const UpdateLists& script_;
    BootLoaderTransfer transfer_;
    const int64_t scriptBlocks_;  // of the script every attempt sends

    // Of the current attempt.
    std::optional<SubjectError> failure_;  // the first error raised in a handler
    bool greeted_ = false;
    // When the board greeted: its time is counted from there, not from the wait before.
    std::chrono::system_clock::time_point greetedAt_{};
    std::chrono::steady_clock::time_point greetedSince_{};
    bool started_ = false;
    bool endSent_ = false;
};
