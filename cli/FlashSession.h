// SPDX-License-Identifier: MIT
#pragma once
// One run of `tevr-flash flash`: converts the update file, opens the port with the boot loader's
// line settings, runs the transfer on this thread's event loop until the end command has gone
// out, and reports on standard error. Also stops a transfer that makes no progress, and one
// interrupted by Ctrl-C, closing the port in both cases.
#include <chrono>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "cli/FlashHost.h"
#include "cli/FlashProgress.h"
#include "cli/SubjectError.h"
#include "loader/BootLoaderTransfer.h"
#include "line/VaCommTransferPort.h"
#include "serial/VaComm.h"
#include "serial/VaEventLoop.h"

struct FlashOptions {
    std::string file;
    std::string port;  // a path, or COM1 to COM8
    std::chrono::milliseconds timeout{10000};
    bool log = false;       // the exchange log on standard error
    bool terminal = false;  // standard error is a terminal: a progress bar instead of lines
};

class InterruptGuard;

class FlashSession {
public:
    FlashSession(FlashOptions options, std::ostream& err);
    ~FlashSession();
    FlashSession(const FlashSession&) = delete;
    FlashSession& operator=(const FlashSession&) = delete;

    // Returns the exit status (0, 3, 129, 130 or 143); throws std::exception with the message
    // ("FILE: ..." or "PORT: ...") when the update file does not convert, the port does not open,
    // or the transfer fails.
    int Run();

private:
    enum class Outcome { Completed, Stalled, Interrupted, Failed };

    void Prepare();
    Outcome Drive(const InterruptGuard& guard);
    void DrainLog();
    void AfterEvent() noexcept;
    void OnTransferFinished(TransferEnding ending);
    void OnTransferMessage(const std::string& text);
    bool WaitForEndCommand();
    void FlushRepeats();
    void Stop();
    void NoteWhereItStopped();
    std::string StallReason() const;
    // An error of the update file is about FILE, the rest about PORT.
    SubjectError ErrorAbout(const std::exception& error) const;

    const FlashOptions options_;
    FlashProgress progress_;
    std::shared_ptr<TVaEventLoop> loop_;
    TVaComm comm_;
    VaCommTransferPort port_;
    FlashHost host_;
    BootLoaderTransfer transfer_;

    std::string failure_;  // the first error raised in a handler
    TransferEnding finished_ = TransferEnding::Running;
    bool greeted_ = false;
    bool started_ = false;
    bool endSent_ = false;
    std::string lastMessage_;
    uint64_t lastMessageFrames_ = 0;
    int repeats_ = 0;
};
