// SPDX-License-Identifier: MIT
#pragma once
// Error classes of the loader. Like every error of this tool they carry a message; the window
// shows it in its error box, the command line prints it.
#include <cstdint>
#include <stdexcept>
#include <string>

// A text field that does not read as a number, and a record line the conversion refuses.
class EConvertError : public std::runtime_error {
public:
    explicit EConvertError(const std::string& message, int64_t fieldLine = 0)
        : std::runtime_error(message), fieldLine_(fieldLine) {}

    // The update file's line (1-based) of a field that did not read as a number. Such a message
    // stays exactly as the window shows it and names no line, so the command line adds it. 0 when
    // the message names its line itself or concerns no single line.
    int64_t FieldLine() const { return fieldLine_; }

private:
    int64_t fieldLine_ = 0;
};

// The update file cannot be opened or read.
class EInOutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
