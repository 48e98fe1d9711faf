// SPDX-License-Identifier: MIT
#pragma once
// Error classes of the loader. Like every error of this tool they carry only a message; the
// window shows it in its error box, the command line prints it.
#include <stdexcept>
#include <string>

// A text field that does not read as a number, and a record line the conversion refuses.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The update file cannot be opened or read.
class EInOutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
