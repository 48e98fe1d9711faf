// SPDX-License-Identifier: MIT
#pragma once
// What went wrong, as one value of one of the kinds the layers report, with its data and never
// words: the update file refused by the conversion, a file the system would not read, the serial
// component's failure, a release signature or a trusted key that does not hold, a session that
// stalled, or an error no layer names. Every front end words it through the one table of words
// (words/ProblemWords.h); ProblemOf is the one place where an error becomes a problem.
#include <exception>
#include <string>
#include <variant>

#include "line/StallReason.h"
#include "loader/Errors.h"
#include "loader/ReleaseFaults.h"
#include "serial/VaErrors.h"

// A file the system would not open or read: the file error and the system's code behind it.
struct FileProblem {
    FileFault fault = FileFault::Other;
    int code = 0;
    bool operator==(const FileProblem&) const = default;
};

// What the serial component failed to do, the system's code behind it and what that code says,
// and the device it names.
struct SerialProblem {
    TVaCommFault fault = TVaCommFault::Other;
    int code = 0;
    std::string device{};
    TVaSystemFault systemFault = TVaSystemFault::Other;
    TVaPortHolder holder{};  // of a busy port, where the system tells
    bool operator==(const SerialProblem&) const = default;
};

// An error of none of the kinds above (the runtime's own, out of memory): its text is for logs.
struct UnexpectedProblem {
    std::string logText{};
    bool operator==(const UnexpectedProblem&) const = default;
};

using Problem = std::variant<ConversionProblem, FileProblem, SerialProblem, SignatureProblem,
                             KeyProblem, StallReason, UnexpectedProblem>;

// The problem an error of the layers reports.
Problem ProblemOf(const std::exception& error);
