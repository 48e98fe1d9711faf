// SPDX-License-Identifier: MIT
#pragma once
// How tevr-flash reports the end of a board's session: its cause in the table's words, about the
// update file or the port.
#include <string>

#include "cli/SubjectError.h"
#include "line/BoardSessionResult.h"

// Why a board's session was not done, without the port's name (the update file's problems name
// the file): the table's, the summary's and the journal reader's text. Empty when done.
std::string ResultMessage(BoardOutcome outcome, const BoardCause& cause, int signal,
                          const std::string& port, const std::string& file);

// A failed session's cause as the command reports it: about `file` for the update file's
// errors, about `port` for everything else, with the hints the user needs.
SubjectError FailureError(const BoardCause& cause, const std::string& port,
                          const std::string& file);
