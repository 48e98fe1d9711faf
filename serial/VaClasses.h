// SPDX-License-Identifier: MIT
#pragma once
// The component base, the serial errors (serial/VaErrors.h) and the application error hook.
#include <exception>
#include <functional>
#include <stdexcept>
#include <string>

#include "serial/VaErrors.h"

// Assigning a settings object from one of another kind.
class EVaConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The plain component base: a name and a free number for the owner's use.
class TVaComponent {
public:
    virtual ~TVaComponent() = default;

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }
    long Tag() const { return tag_; }
    void SetTag(long tag) { tag_ = tag; }

private:
    std::string name_;
    long tag_ = 0;
};

// Receives an error that a handler raised where no caller can catch it (a handler run from a
// hand-over, or OnOpen). The window shows it in a message box, the command line prints it.
using TVaExceptionHandler = std::function<void(const std::exception&)>;

// The process-wide handler, used by every component that has none of its own. Without one the
// message goes to standard error.
void VaSetApplicationExceptionHandler(TVaExceptionHandler handler);

// Hands the error to `local` if set, else to the process-wide handler. A handler that raises in
// turn is not called again: its error is written to standard error.
void VaHandleException(std::exception_ptr error, const TVaExceptionHandler& local = {});
