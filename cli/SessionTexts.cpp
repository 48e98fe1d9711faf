// SPDX-License-Identifier: MIT
#include "cli/SessionTexts.h"

#include "words/Words.h"

SubjectError FailureError(const BoardCause& cause, const std::string& port,
                          const std::string& file) {
    switch (cause.fault) {
        case BoardFault::FileRefused:
        case BoardFault::FileUnreadable:
            return SubjectError(file, BoardCauseText(cause, port));
        case BoardFault::PortOpenFailed:
        case BoardFault::SerialError:
            if (const auto* serial = cause.As<SerialProblem>()) return PortError(port, *serial);
            break;
        default:
            break;
    }
    return SubjectError(port, BoardCauseText(cause, port));
}
