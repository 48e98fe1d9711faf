// SPDX-License-Identifier: MIT
#pragma once
// The component base, the serial errors and the application error hook.
#include <cstdint>
#include <exception>
#include <functional>
#include <stdexcept>
#include <string>

// What the serial component failed to do. Its message keeps the component's own English words;
// a front end that speaks another language says the same from the kind, the code and the device.
enum class TVaCommFault : std::uint8_t {
    Other,             // a message of its own
    RefusedWhileOpen,  // a setting that needs the port closed
    DeviceNotFound,    // device
    CantOpen,          // device, code
    WriteDcb,          // code: the line settings
    InitBuffers,       // code: the driver's queue sizes
    SetTimeouts,       // code
    NoDispatcher,      // no owning thread to hand events to
    SetEventMask,      // code
    Write,             // code
    StartThread,       // code
    DtrWithHandshake,  // DTR set by hand while the driver handles it
    CommFunction,      // code: a modem-line call
    Read,              // code
    Statistics,        // code: the driver's counters
    LineSettings,      // code: reading the rate back
    OutputFull,        // the write queue did not drain in time
    DeviceGone,        // code: the device or its adapter went away
};

// What the system's error code behind a failure says, in terms a user can act on; the code itself
// differs from system to system.
enum class TVaSystemFault : std::uint8_t {
    Other,           // nothing more to say than the code
    NotFound,        // no such device
    AccessDenied,    // the user may not use the device
    Busy,            // another program holds the port
    NotASerialPort,  // the device is no serial port (a plain file, /dev/null, a folder)
    Gone,            // the device or its adapter went away
};

// The program that holds a port open, as the system tells it: its name and process id; none
// (ProcessId 0) where the system does not tell.
struct TVaPortHolder {
    std::string Name;
    int ProcessId = 0;
    bool operator==(const TVaPortHolder&) const = default;
};

// The serial component's error: its message, what failed, the platform's error code behind it
// (0 when none), so that callers can tell a refused permission from other failures, and the
// device it names where it names one.
class EVaCommError : public std::runtime_error {
public:
    explicit EVaCommError(const std::string& message, int code = 0)
        : std::runtime_error(message), code_(code) {}
    explicit EVaCommError(const char* message, int code = 0)
        : std::runtime_error(message), code_(code) {}
    EVaCommError(TVaCommFault fault, const std::string& message, int code, std::string device = {},
                 TVaSystemFault systemFault = TVaSystemFault::Other, TVaPortHolder holder = {})
        : std::runtime_error(message),
          code_(code),
          fault_(fault),
          device_(std::move(device)),
          systemFault_(systemFault),
          holder_(std::move(holder)) {}
    int Code() const { return code_; }
    TVaCommFault Fault() const { return fault_; }
    const std::string& Device() const { return device_; }
    TVaSystemFault SystemFault() const { return systemFault_; }
    // Of a busy port: the program that holds it, where the system tells.
    const TVaPortHolder& Holder() const { return holder_; }

private:
    int code_;
    TVaCommFault fault_ = TVaCommFault::Other;
    std::string device_;
    TVaSystemFault systemFault_ = TVaSystemFault::Other;
    TVaPortHolder holder_;
};

// The device or its adapter has gone (unplugged, switched off, the far end of a
// pseudo-terminal closed): nothing more will pass on this port.
class EVaCommDeviceGone : public EVaCommError {
public:
    using EVaCommError::EVaCommError;
};

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
