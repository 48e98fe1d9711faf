// SPDX-License-Identifier: MIT
#pragma once
// tevr-flash's words for how a board's session ended, in the user's language.
#include <string>

#include "cli/SubjectError.h"
#include "line/BoardSessionResult.h"

// "interrupted", "terminated" or "hung up" for the stop request `signal`.
std::string SignalWord(int signal);

// Why a stalled session stopped: what it waited for on `port`, and how long.
std::string StallText(const StallReason& stall, const std::string& port);

// A failed session's cause as the command reports it: about `file` for the update file's
// errors, about `port` for everything else, with the hints the user needs.
SubjectError FailureError(const BoardCause& cause, const std::string& port,
                          const std::string& file);
