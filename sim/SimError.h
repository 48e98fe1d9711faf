// SPDX-License-Identifier: MIT
#pragma once
// Failures of the simulator's line: the pseudo-terminal or its link cannot be made or used.
#include <stdexcept>

class SimError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
