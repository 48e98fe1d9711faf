// SPDX-License-Identifier: MIT
#include "base/Translation.h"
#include "line/BoardStop.h"
#include "words/Words.h"

std::string SignalText(int signal) {
    if (signal == kSignalHangUp) return Tr("terminal closed (SIGHUP)");
    if (signal == kSignalTerminate) return Tr("terminated (SIGTERM)");
    return Tr("interrupted (Ctrl-C)");
}

std::string StallText(const StallReason& stall, const std::string& port) {
    const std::string within = SecondsText(static_cast<double>(stall.waited.count()) / 1000);
    const std::string at = stall.address;
    switch (stall.waitedFor) {
        case StallWait::Greeting:
            return Fill(Tr("no greeting from the boot loader on %1 within %2; check that the "
                           "on-board computer is connected and in its boot loader"),
                        {port, within});
        case StallWait::SecondGreeting:
            return Fill(Tr("the boot loader did not send its second greeting (0xAA) within %1"),
                        {within});
        case StallWait::Acknowledge:
            if (at.empty())
                return Fill(Tr("no acknowledgement (0xAA) of the page command within %1"),
                            {within});
            return Fill(Tr("no acknowledgement (0xAA) of the page command at %1 within %2"),
                        {at, within});
        case StallWait::Echo:
            return Fill(Tr("no echo of the block at %1 within %2"), {at, within});
        case StallWait::RestOfEcho:
            return Fill(
                TrN("the echo of the block at %1 came back incomplete (%2 of %3 byte; "
                    "bytes lost on the line); nothing more within %4",
                    "the echo of the block at %1 came back incomplete (%2 of %3 bytes; "
                    "bytes lost on the line); nothing more within %4",
                    static_cast<uint64_t>(stall.echoLength)),
                {at, std::to_string(stall.echoCount), std::to_string(stall.echoLength), within});
        case StallWait::Checksum:
            return Fill(Tr("no correct checksum for the block at %1 within %2"), {at, within});
        case StallWait::Answer:
            break;
    }
    return Fill(Tr("the on-board computer stopped answering within %1"), {within});
}

std::string BoardCauseText(const BoardCause& cause, const std::string& port) {
    switch (cause.fault) {
        case BoardFault::None:
            return {};
        case BoardFault::DeviceGone:
            return Tr(
                "the on-board computer or its adapter went away (unplugged, switched off or "
                "reset); the port is closed");
        case BoardFault::EchoMismatch:
            return Tr(
                "the echo did not match what was sent: a byte was lost or changed on the "
                "line (check the cable and the adapter); the port is closed");
        case BoardFault::NoEndCommand:
            return Tr("the end command could not be sent");
        case BoardFault::NotStarted:
            return Tr("the transfer did not start");
        case BoardFault::TransferStopped:
            return Tr("the transfer stopped");
        case BoardFault::Stopped:
            return Tr("stopped");
        case BoardFault::NoProgress:
            if (const auto* stall = cause.As<StallReason>()) return StallText(*stall, port);
            break;
        default:
            break;
    }
    // The problem says it: a refused or unreadable file, the port, any other error.
    return ProblemText(cause.problem);
}
