// SPDX-License-Identifier: MIT
#include "cli/SessionTexts.h"

#include "base/Translation.h"
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

std::string ResultMessage(BoardOutcome outcome, const BoardCause& cause, int signal,
                          const std::string& port, const std::string& file) {
    switch (outcome) {
        case BoardOutcome::Done:
            return {};
        case BoardOutcome::Interrupted:
            return SignalText(signal);
        case BoardOutcome::Stalled:
            return Fill(Tr("no progress: %1"), {BoardCauseText(cause, port)});
        case BoardOutcome::Failed:
            break;
    }
    const SubjectError error = FailureError(cause, port, file);
    return error.Subject() == port ? error.Message() : error.what();
}
