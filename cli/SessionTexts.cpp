// SPDX-License-Identifier: MIT
#include "cli/SessionTexts.h"

#include <cstdio>

#include "base/Translation.h"
#include "cli/InterruptGuard.h"
#include "cli/MessageTexts.h"
#include "loader/SystemFile.h"
#include "serial/VaClasses.h"

namespace {
std::string Seconds(std::chrono::milliseconds duration) {
    char number[32];
    std::snprintf(number, sizeof number, "%g", static_cast<double>(duration.count()) / 1000);
    return Fill(Tr("%1 s"), {number});
}
}  // namespace

std::string SignalWord(int signal) {
    if (signal == kSignalHangUp) return Tr("hung up");
    return signal == kSignalTerminate ? Tr("terminated") : Tr("interrupted");
}

std::string StallText(const StallReason& stall, const std::string& port) {
    const std::string within = Seconds(stall.waited);
    switch (stall.waitedFor) {
        case StallWait::Greeting:
            return Fill(Tr("no greeting from the boot loader on %1 within %2 (is the on-board "
                           "computer connected and in its boot loader?)"),
                        {port, within});
        case StallWait::SecondGreeting:
            return Fill(Tr("the boot loader did not send its second greeting (0xAA) within %1"),
                        {within});
        default:
            break;
    }
    // The script's address field: empty before the first page command.
    const std::string at = stall.address.empty() ? "" : Fill(Tr(" at %1"), {stall.address});
    switch (stall.waitedFor) {
        case StallWait::Acknowledge:
            return Fill(Tr("no acknowledgement (0xAA) of the page command%1 within %2"),
                        {at, within});
        case StallWait::Echo:
            return Fill(Tr("no echo of the block%1 within %2"), {at, within});
        case StallWait::RestOfEcho:
            return Fill(
                Tr("the echo of the block%1 came back incomplete (%2 of %3 bytes; bytes "
                   "lost on the line); nothing more within %4"),
                {at, std::to_string(stall.echoCount), std::to_string(stall.echoLength), within});
        case StallWait::Checksum:
            return Fill(Tr("no correct checksum for the block%1 within %2"), {at, within});
        default:
            return Fill(Tr("the device stopped answering within %1"), {within});
    }
}

SubjectError FailureError(const BoardCause& cause, const std::string& port,
                          const std::string& file) {
    switch (cause.fault) {
        case BoardFault::FileRefused:
            return SubjectError(file, ProblemText(cause.problem));
        case BoardFault::FileUnreadable:
            return SubjectError(file, FileErrorText(EInOutError(FileFaultOf(cause.systemError),
                                                                cause.systemError, cause.detail)));
        case BoardFault::PortOpenFailed:
        case BoardFault::SerialError:
            // The serial component's own message; a refused permission gains its hint.
            return PortError(
                port, EVaCommError(cause.commFault, cause.detail, cause.systemError, cause.device));
        case BoardFault::TransferError:
            return SubjectError(port, cause.detail);
        case BoardFault::DeviceGone:
            return SubjectError(port, Tr("the device or its adapter went away (unplugged, switched "
                                         "off or reset); the port is closed"));
        case BoardFault::EchoMismatch:
            return SubjectError(port, Tr("the echo did not match what was sent: a byte was lost or "
                                         "changed on the line (check the cable and the adapter); "
                                         "the port is closed"));
        case BoardFault::NoEndCommand:
            return SubjectError(port, Tr("the end command could not be sent"));
        case BoardFault::NotStarted:
            return SubjectError(port, Tr("the transfer did not start"));
        default:
            return SubjectError(port, Tr("the transfer stopped"));
    }
}
