// SPDX-License-Identifier: MIT
#pragma once
// How tevr-flash reports the end of a board's session: its cause in the table's words, about the
// update file or the port.
#include <string>

#include "cli/SubjectError.h"
#include "line/BoardSessionResult.h"

// A failed session's cause as the command reports it: about `file` for the update file's
// errors, about `port` for everything else, with the hints the user needs.
SubjectError FailureError(const BoardCause& cause, const std::string& port,
                          const std::string& file);
