// SPDX-License-Identifier: MIT
#pragma once
// tevr-flash's own lines on standard error begin with its name, so that a technician reading a
// log mixed with other programs' output can tell whose they are.
#include <string>
#include <string_view>

// "tevr-flash: TEXT", without a line end.
inline std::string ProgramNote(std::string_view text) {
    return "tevr-flash: " + std::string(text);
}

// "tevr-flash: TEXT" and the line end.
inline std::string ProgramLine(std::string_view text) {
    return ProgramNote(text) + '\n';
}
