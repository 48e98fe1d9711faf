// SPDX-License-Identifier: MIT
#include "line/BoardSessionResult.h"

namespace {
const char* StallCode(StallWait wait) {
    switch (wait) {
        case StallWait::Greeting:
            return "no-greeting";
        case StallWait::SecondGreeting:
            return "no-second-greeting";
        case StallWait::Acknowledge:
            return "no-acknowledge";
        case StallWait::Echo:
            return "no-echo";
        case StallWait::RestOfEcho:
            return "incomplete-echo";
        case StallWait::Checksum:
            return "no-checksum";
        case StallWait::Answer:
            break;
    }
    return "no-answer";
}
}  // namespace

const char* BoardCauseCode(const BoardCause& cause) {
    switch (cause.fault) {
        case BoardFault::None:
            return "";
        case BoardFault::NotStarted:
            return "not-started";
        case BoardFault::PortOpenFailed:
            return "port-open-failed";
        case BoardFault::SerialError:
            return "serial-error";
        case BoardFault::FileUnreadable:
            return "file-unreadable";
        case BoardFault::FileRefused:
            if (const auto* problem = cause.As<ConversionProblem>())
                return ConversionFaultCode(problem->fault);
            return "file-refused";
        case BoardFault::TransferError:
            return "transfer-error";
        case BoardFault::DeviceGone:
            return "device-gone";
        case BoardFault::EchoMismatch:
            return "echo-mismatch";
        case BoardFault::NoEcho:
            return "no-echo-at-all";
        case BoardFault::NoEndCommand:
            return "no-end-command";
        case BoardFault::TransferStopped:
            return "transfer-stopped";
        case BoardFault::NoProgress:
            return StallCode(cause.As<StallReason>() ? cause.As<StallReason>()->waitedFor
                                                     : StallWait::Answer);
        case BoardFault::PortNotFound:
            return "port-not-found";
        case BoardFault::Stopped:
            break;
    }
    return "stopped";
}

BoardCause CauseOfError(const std::exception& error, BoardFault serialFault) {
    BoardCause cause{BoardFault::TransferError, ProblemOf(error)};
    if (cause.As<ConversionProblem>())
        cause.fault = BoardFault::FileRefused;
    else if (cause.As<FileProblem>())
        cause.fault = BoardFault::FileUnreadable;
    else if (cause.As<SerialProblem>())
        cause.fault = serialFault;
    return cause;
}
