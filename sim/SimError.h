// SPDX-License-Identifier: MIT
#pragma once
// Failures of the simulator's line: the pseudo-terminal or its link cannot be made or used.
#include <stdexcept>
#include <string>

class SimError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "`what`: `the system's error code` in the table's words", as thrown: never the system's own
// text, which comes in the language of the process rather than the reader's.
SimError SystemSimError(const std::string& what, int code);
