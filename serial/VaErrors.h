// SPDX-License-Identifier: MIT
#pragma once
// The serial component's errors as kinds with their data: what every layer above the component
// may catch and report, the parts that build without a serial port among them (the session
// core, the table of words).
#include <cstdint>
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
