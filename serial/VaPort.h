// SPDX-License-Identifier: MIT
#pragma once
// The narrow interface between the serial component and the operating system: one open device and
// the waits of the component's two threads. Each platform's folder provides VaOpenPortDevice and
// the functions below; tests may hand the component a device of their own.
#include <cstdint>
#include <memory>
#include <string>

#include "serial/VaClasses.h"

#include "serial/VaTypes.h"

// A wait of one thread on the device, ended early by Wake. Only the thread that owns the watch
// waits on it; Wake may come from any thread.
class TVaPortWatch {
public:
    virtual ~TVaPortWatch() = default;

    // Blocks until one of the watched events happened or Wake was called. Returns 0 and sets
    // `events` (EV_ bits, possibly 0 after a wake) or returns the error code of a failed wait.
    virtual int WaitEvents(std::uint32_t& events) = 0;
    // Blocks until the device takes more bytes (true) or Wake was called (false).
    virtual bool WaitWritable() = 0;
    // Waits `ms` milliseconds or until Wake was called.
    virtual void Pause(int ms) = 0;
    // Ends the current wait and every later one at once.
    virtual void Wake() = 0;

    // For an event loop that waits for the device itself, beside its own wake-up, instead of a
    // thread blocking in WaitEvents (TVaDispatcher::AddSource): a system handle that becomes
    // ready when WaitEvents would return at once (Linux: a descriptor that polls readable), or
    // -1 when only a thread can wait on this watch (the default).
    virtual std::intptr_t ReadyHandle() const { return -1; }
    // WaitEvents without blocking: `events` 0 when nothing has happened.
    virtual int TakeEvents(std::uint32_t& events) {
        events = 0;
        return 0;
    }
};

// The time-out of the write thread's Write (see there).
inline constexpr int kVaWriteInBackground = -1;

// An open serial device. Every call is safe from any thread, also concurrently with Close: after
// Close they fail with the platform's code of a closed handle (EBADF, ERROR_INVALID_HANDLE) and
// touch nothing. Calls return 0 or the platform's error code.
class TVaPortDevice {
public:
    virtual ~TVaPortDevice() = default;

    // Releases the device at once; a wait in progress on a watch is not ended by it.
    virtual void Close() = 0;
    // What came of asking for low latency when the device was opened.
    virtual TVaLowLatency LowLatency() const { return llNotApplicable; }

    virtual int WriteLineSettings(const TVaDcb& dcb) = 0;
    // The sizes of the driver's input and output queues; a system without them ignores them.
    virtual int SetQueueSizes(int /*inputSize*/, int /*outputSize*/) { return 0; }
    // Hands the driver the read time-outs that Read promises (5 ms after the last byte), where
    // the driver keeps them; a backend that times its reads itself has nothing to do.
    virtual int WriteTimeouts() { return 0; }
    virtual int SetDtr(bool on) = 0;
    // Queue counts and the line errors since the previous call, which this call clears.
    virtual int ReadStatus(TVaCommStatus& status) = 0;
    // Bytes waiting in the input queue; leaves the line errors alone.
    virtual int InputCount(int& count) = 0;
    // The rate the driver runs the line at now, as it reports it; 0 when it does not tell.
    virtual int ReadRate(std::uint32_t& bitsPerSecond) {
        bitsPerSecond = 0;
        return 0;
    }

    // Reads up to `count` bytes: done when `count` are there, 5 ms after the last byte once one
    // arrived, or after `timeoutMs` in all. `got` receives the number read.
    virtual int Read(void* buffer, int count, int timeoutMs, int& got) = 0;
    // Writes what the device takes now (`timeoutMs` 0) or waits up to `timeoutMs` for all of it.
    // `written` receives the number taken, possibly 0. kVaWriteInBackground: the write thread's
    // call, which passes the same unsent bytes again until they are taken; a write the system
    // has not finished may go on after the call and is counted by the next one.
    virtual int Write(const void* data, int count, int timeoutMs, int& written) = 0;

    // A watch for the event thread, reporting the events of `eventMask`; null with `error` set
    // when the system refuses one.
    virtual std::unique_ptr<TVaPortWatch> WatchEvents(std::uint32_t eventMask, int& error) = 0;
    // A watch for the write thread; null with `error` set when the system refuses one.
    virtual std::unique_ptr<TVaPortWatch> WatchWritable(int& error) = 0;
};

// The system's name of the device for a device path. On Linux COM1 to COM8 are /dev/ttyS0 to
// /dev/ttyS7 (the window's list), a name with a '/' is a path as it stands (a relative one from
// the working folder), any other name is looked for in /dev.
// On Windows a port's name "COMn" is opened as \\.\COMn (which COM10 and above need), any
// other name as it stands.
std::string VaSystemDevicePath(const std::string& devicePath);

// Opens the system device `systemPath` exclusively. On failure returns null and sets `error`.
std::shared_ptr<TVaPortDevice> VaOpenPortDevice(const std::string& systemPath, int& error);

// Whether an error code of the device's calls means that the device has gone for good.
bool VaIsDeviceGoneError(int error);
// The code reported for a device whose watch saw it go (a hang-up) without a call failing.
int VaHangUpError();
// Whether an error code of VaOpenPortDevice means that there is no such device.
bool VaIsNotFoundError(int error);
// Whether an error code of VaOpenPortDevice means that the user may not open the device.
bool VaIsAccessDeniedError(int error);
// What the system's error code says of the device.
TVaSystemFault VaSystemFaultOf(int error);
// The program that holds the device open, where the system tells (Linux: a process with the
// device among its open files that this user may look at); none otherwise.
TVaPortHolder VaPortHolder(const std::string& systemPath);
// The name of the group that owns the device file (the link followed); empty when unknown.
std::string VaDeviceGroupName(const std::string& systemPath);
