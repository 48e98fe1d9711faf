// SPDX-License-Identifier: MIT
// The serial device on Windows: a COM port opened exclusively for overlapped I/O. Reads, writes
// and the event wait each own an operation record with its completion event and its data, and a
// call that gives up on an operation cancels it (CancelIoEx) and waits until it has ended, so
// that the driver never writes into storage that has gone. The threads' watches wait for their
// operation together with a wake-up event (WaitForMultipleObjects), which Stop sets.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "base/ScopedHandle.h"
#include "base/ThreadSafety.h"
#include "serial/VaPort.h"
#include "serial/win32/VaWin32.h"

namespace {

// The gap after the last received byte that ends a read (the driver's read-interval time-out).
constexpr DWORD kReadIntervalMs = 5;
// How long a cancelled operation may take to end. A driver that never ends it gets its record
// and data for good: a little memory lost, rather than a write into freed memory.
constexpr DWORD kCancelLimitMs = 1000;
// A wait for events may end without one: Wine's ports on pseudo-terminals do so every two
// milliseconds or so, at the cost of a millisecond of CPU time each. After every such wait the
// next one starts only after a pause that doubles, from the first to the most, until an event
// comes: an idle line costs next to nothing, and while bytes flow the pause stays short.
constexpr DWORD kQuietPauseFirstMs = 1;
constexpr DWORD kQuietPauseMostMs = 50;

int LastError() {
    return static_cast<int>(::GetLastError());
}

// One overlapped operation: the record, its manual-reset completion event, and the bytes it reads
// or writes.
struct TOperation {
    OVERLAPPED overlapped{};
    ScopedHandle event{::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    std::vector<unsigned char> data;
    DWORD events = 0;  // what WaitCommEvent reports
    bool pending = false;

    OVERLAPPED* Prepare() {
        overlapped = OVERLAPPED{};
        overlapped.hEvent = event.Get();
        ::ResetEvent(event.Get());
        return &overlapped;
    }
    bool Ended(DWORD ms) const { return ::WaitForSingleObject(event.Get(), ms) == WAIT_OBJECT_0; }
};

using TOperationPtr = std::unique_ptr<TOperation>;

// Ends a pending operation that was cancelled, or whose handle was closed. Returns false when the
// driver did not end it in time; the record is then left to the driver and `op` is a new one.
bool AwaitCancelled(TOperationPtr& op) {
    if (!op->pending || op->Ended(kCancelLimitMs)) {
        op->pending = false;
        return true;
    }
    (void)op.release();  // still the driver's
    op = std::make_unique<TOperation>();
    return false;
}

// The result of an operation that has ended: 0, or the error it ended with. A cancelled one
// reports the bytes it moved before.
int Collect(HANDLE handle, TOperation& op, DWORD& transferred) {
    op.pending = false;
    transferred = 0;
    if (::GetOverlappedResult(handle, &op.overlapped, &transferred, FALSE)) return 0;
    const int error = LastError();
    return error == ERROR_OPERATION_ABORTED ? 0 : error;
}

class TWin32PortDevice;

// The wait of one of the component's threads; the event thread's starts WaitCommEvent, the write
// thread's waits for the device's write in progress.
class TWin32Watch final : public TVaPortWatch {
public:
    TWin32Watch(std::shared_ptr<TWin32PortDevice> device, std::uint32_t mask)
        : device_(std::move(device)), mask_(mask) {}

    bool Valid() const { return wake_.Valid() && op_->event.Valid(); }

    int WaitEvents(std::uint32_t& events) override;
    bool WaitWritable() override;
    void Pause(int ms) override {
        (void)::WaitForSingleObject(wake_.Get(), static_cast<DWORD>(std::max(ms, 0)));
    }
    // Never reset: every later wait ends at once too.
    void Wake() override { ::SetEvent(wake_.Get()); }

private:
    bool Woken() const { return ::WaitForSingleObject(wake_.Get(), 0) == WAIT_OBJECT_0; }
    // A failed wait; the first that says the device has gone is reported as such.
    int Failed(int error, std::uint32_t& events);

    std::shared_ptr<TWin32PortDevice> device_;
    const std::uint32_t mask_;
    ScopedHandle wake_{::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    TOperationPtr op_ = std::make_unique<TOperation>();
    bool goneReported_ = false;
    DWORD quietPauseMs_ = 0;  // after the last wait that ended without an event
};

class TWin32PortDevice final : public TVaPortDevice,
                               public std::enable_shared_from_this<TWin32PortDevice> {
public:
    explicit TWin32PortDevice(ScopedHandle handle) : handle_(std::move(handle)) {}

    ~TWin32PortDevice() override {
        Close();
        MutexLock lock(writeMutex_);
        (void)AwaitCancelled(writeOp_);
    }

    void Close() override {
        WriterLock lock(guard_);
        // Closing the handle cancels every operation still pending on it.
        handle_.Reset();
    }

    // Runs `f` with the handle while it is open; the device cannot close meanwhile.
    template <typename F>
    int WithHandle(F f) {
        ReaderLock lock(guard_);
        if (!handle_.Valid()) return ERROR_INVALID_HANDLE;
        return f(handle_.Get());
    }

    int WriteLineSettings(const TVaDcb& dcb) override {
        DCB block{};
        block.DCBlength = sizeof block;
        block.BaudRate = dcb.BaudRate;
        const std::uint32_t f = dcb.Flags;
        block.fBinary = (f & fBinary) != 0;
        block.fParity = (f & fParity) != 0;
        block.fOutxCtsFlow = (f & fOutxCtsFlow) != 0;
        block.fOutxDsrFlow = (f & fOutxDsrFlow) != 0;
        block.fDtrControl = (f & fDtrControlMask) >> 4;
        block.fDsrSensitivity = (f & fDsrSensitivity) != 0;
        block.fTXContinueOnXoff = (f & fTXContinueOnXoff) != 0;
        block.fOutX = (f & fOutX) != 0;
        block.fInX = (f & fInX) != 0;
        block.fErrorChar = (f & fErrorChar) != 0;
        block.fNull = (f & fNull) != 0;
        block.fRtsControl = (f & fRtsControlMask) >> 12;
        block.fAbortOnError = (f & fAbortOnError) != 0;
        block.XonLim = dcb.XonLim;
        block.XoffLim = dcb.XoffLim;
        block.ByteSize = dcb.ByteSize;
        block.Parity = dcb.Parity;
        block.StopBits = dcb.StopBits;
        block.XonChar = dcb.XonChar;
        block.XoffChar = dcb.XoffChar;
        block.ErrorChar = dcb.ErrorChar;
        block.EofChar = dcb.EofChar;
        block.EvtChar = dcb.EvtChar;
        return WithHandle([&](HANDLE h) { return ::SetCommState(h, &block) ? 0 : LastError(); });
    }

    int SetQueueSizes(int inputSize, int outputSize) override {
        return WithHandle([&](HANDLE h) {
            return ::SetupComm(h, static_cast<DWORD>(inputSize), static_cast<DWORD>(outputSize))
                       ? 0
                       : LastError();
        });
    }

    int WriteTimeouts() override {
        // A read ends when its count is there, or the interval after the last byte once one
        // came; no total limits, as Read and Write time their waits themselves.
        COMMTIMEOUTS timeouts{kReadIntervalMs, 0, 0, 0, 0};
        return WithHandle(
            [&](HANDLE h) { return ::SetCommTimeouts(h, &timeouts) ? 0 : LastError(); });
    }

    int SetDtr(bool on) override {
        return WithHandle([&](HANDLE h) {
            if (::EscapeCommFunction(h, on ? SETDTR : CLRDTR)) return 0;
            // A port without modem lines (Wine's port on a pseudo-terminal, some virtual
            // ports): there is nothing to set.
            const int error = LastError();
            return error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION ? 0 : error;
        });
    }

    int ReadStatus(TVaCommStatus& status) override {
        status = TVaCommStatus{};
        return WithHandle([&](HANDLE h) {
            COMSTAT stat{};
            if (const int error = TakeErrors(h, stat)) return error;
            MutexLock lock(statusMutex_);
            status.Errors = std::exchange(takenErrors_, 0);
            status.Flags = (stat.fCtsHold ? 0x01u : 0) | (stat.fDsrHold ? 0x02u : 0) |
                           (stat.fRlsdHold ? 0x04u : 0) | (stat.fXoffHold ? 0x08u : 0) |
                           (stat.fXoffSent ? 0x10u : 0) | (stat.fEof ? 0x20u : 0) |
                           (stat.fTxim ? 0x40u : 0);
            status.InQueue = stat.cbInQue;
            status.OutQueue = stat.cbOutQue;
            return 0;
        });
    }

    int ReadRate(std::uint32_t& bitsPerSecond) override {
        bitsPerSecond = 0;
        return WithHandle([&](HANDLE h) {
            DCB block{};
            block.DCBlength = sizeof block;
            if (!::GetCommState(h, &block)) return LastError();
            bitsPerSecond = block.BaudRate;
            return 0;
        });
    }

    int InputCount(int& count) override {
        count = 0;
        return WithHandle([&](HANDLE h) {
            COMSTAT stat{};
            if (const int error = TakeErrors(h, stat)) return error;
            count = static_cast<int>(std::min<DWORD>(stat.cbInQue, 0x7FFFFFFF));
            return 0;
        });
    }

    int Read(void* buffer, int count, int timeoutMs, int& got) override {
        got = 0;
        return WithHandle([&](HANDLE h) {
            MutexLock lock(readMutex_);
            TOperation& op = *readOp_;
            op.data.resize(static_cast<std::size_t>(count));
            const bool done =
                ::ReadFile(h, op.data.data(), static_cast<DWORD>(count), nullptr, op.Prepare());
            if (!done && ::GetLastError() != ERROR_IO_PENDING) return LastError();
            op.pending = true;
            if (!done && !op.Ended(static_cast<DWORD>(std::max(timeoutMs, 0)))) {
                (void)::CancelIoEx(h, &op.overlapped);
                if (!AwaitCancelled(readOp_)) return 0;
            }
            DWORD transferred = 0;
            const int error = Collect(h, *readOp_, transferred);
            // Bytes read before the time-out ran out have left the driver: they are the caller's.
            std::memcpy(buffer, readOp_->data.data(), transferred);
            got = static_cast<int>(transferred);
            return transferred > 0 ? 0 : error;
        });
    }

    // Starts a write of a copy of the bytes, or first ends the one in progress: in the background
    // a write the device has not finished yet counts 0 bytes and goes on, and the write watch
    // says when it has ended; the next call (with the same bytes) reports its count. Otherwise
    // the write is waited for up to `timeoutMs` and cancelled when that runs out, so that the
    // count is what really left.
    int Write(const void* data, int count, int timeoutMs, int& written) override {
        written = 0;
        return WithHandle([&](HANDLE h) {
            MutexLock lock(writeMutex_);
            bool done = false;
            if (!writeOp_->pending) {
                TOperation& op = *writeOp_;
                const auto* bytes = static_cast<const unsigned char*>(data);
                op.data.assign(bytes, bytes + count);
                done = ::WriteFile(h, op.data.data(), static_cast<DWORD>(count), nullptr,
                                   op.Prepare());
                if (!done && ::GetLastError() != ERROR_IO_PENDING) return LastError();
                op.pending = true;
            }
            if (!done && !writeOp_->Ended(static_cast<DWORD>(std::max(timeoutMs, 0)))) {
                if (timeoutMs == kVaWriteInBackground) return 0;
                (void)::CancelIoEx(h, &writeOp_->overlapped);
                if (!AwaitCancelled(writeOp_)) return 0;
            }
            DWORD transferred = 0;
            const int error = Collect(h, *writeOp_, transferred);
            written = static_cast<int>(transferred);
            return transferred > 0 ? 0 : error;
        });
    }

    // The completion event of the write in progress; null when there is none.
    HANDLE PendingWriteEvent() {
        MutexLock lock(writeMutex_);
        return writeOp_->pending ? writeOp_->event.Get() : nullptr;
    }

    std::unique_ptr<TVaPortWatch> WatchEvents(std::uint32_t eventMask, int& error) override {
        auto watch = std::make_unique<TWin32Watch>(shared_from_this(), eventMask);
        if (!watch->Valid()) {
            error = LastError();
            return nullptr;
        }
        error = WithHandle([&](HANDLE h) { return ::SetCommMask(h, eventMask) ? 0 : LastError(); });
        // A device closed already leaves a watch that only Wake ends, which is what a stopped
        // thread needs.
        if (error == ERROR_INVALID_HANDLE) error = 0;
        if (error) return nullptr;
        return watch;
    }

    std::unique_ptr<TVaPortWatch> WatchWritable(int& error) override {
        auto watch = std::make_unique<TWin32Watch>(shared_from_this(), 0);
        error = watch->Valid() ? 0 : LastError();
        if (error) return nullptr;
        return watch;
    }

    // Starts WaitCommEvent into `op`. ERROR_INVALID_HANDLE once the device is closed.
    int StartEventWait(TOperation& op) {
        return WithHandle([&](HANDLE h) {
            op.events = 0;
            if (!::WaitCommEvent(h, &op.events, op.Prepare()) &&
                ::GetLastError() != ERROR_IO_PENDING)
                return LastError();
            op.pending = true;
            return 0;
        });
    }

    void Cancel(TOperation& op) {
        (void)WithHandle([&](HANDLE h) { return ::CancelIoEx(h, &op.overlapped) ? 0 : 1; });
    }

    int CollectEvents(TOperation& op) {
        DWORD unused = 0;
        // With the handle closed meanwhile the operation has ended all the same (cancelled).
        ReaderLock lock(guard_);
        return Collect(handle_.Valid() ? handle_.Get() : nullptr, op, unused);
    }

private:
    // ClearCommError is the only way to the queue counts, and it clears the line errors: they are
    // kept until ReadStatus hands them out.
    int TakeErrors(HANDLE h, COMSTAT& stat) {
        DWORD errors = 0;
        if (!::ClearCommError(h, &errors, &stat)) return LastError();
        MutexLock lock(statusMutex_);
        takenErrors_ |= errors;
        return 0;
    }

    SharedMutex guard_;  // Close waits for the calls under way
    ScopedHandle handle_ GUARDED_BY(guard_);
    Mutex statusMutex_;
    DWORD takenErrors_ GUARDED_BY(statusMutex_) = 0;
    Mutex readMutex_;
    TOperationPtr readOp_ GUARDED_BY(readMutex_) = std::make_unique<TOperation>();
    Mutex writeMutex_;
    TOperationPtr writeOp_ GUARDED_BY(writeMutex_) = std::make_unique<TOperation>();
};

int TWin32Watch::Failed(int error, std::uint32_t& events) {
    if (!VaIsDeviceGoneError(error) || goneReported_) return error;
    goneReported_ = true;
    events = EV_DEVICEGONE;
    return 0;
}

int TWin32Watch::WaitEvents(std::uint32_t& events) {
    events = 0;
    if (Woken()) return 0;
    const int error = device_->StartEventWait(*op_);
    if (error == ERROR_INVALID_HANDLE) {
        (void)::WaitForSingleObject(wake_.Get(), INFINITE);
        return 0;
    }
    if (error) return Failed(error, events);
    // The wake-up first: when both are set, Stop wins.
    const HANDLE handles[] = {wake_.Get(), op_->event.Get()};
    if (::WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) {
        device_->Cancel(*op_);
        (void)AwaitCancelled(op_);
        return 0;
    }
    if (const int failed = device_->CollectEvents(*op_)) return Failed(failed, events);
    events = op_->events & mask_;
    if (events != 0) {
        quietPauseMs_ = 0;
    } else {
        quietPauseMs_ = std::clamp<DWORD>(quietPauseMs_ * 2, kQuietPauseFirstMs, kQuietPauseMostMs);
        Pause(static_cast<int>(quietPauseMs_));
    }
    return 0;
}

bool TWin32Watch::WaitWritable() {
    const HANDLE written = device_->PendingWriteEvent();
    if (!written) return !Woken();
    const HANDLE handles[] = {wake_.Get(), written};
    return ::WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0 + 1;
}

bool IsPortName(const std::string& name) {
    if (name.size() < 4 || name.size() > 6) return false;
    for (std::size_t i = 0; i < 3; ++i)
        if (std::toupper(static_cast<unsigned char>(name[i])) != "COM"[i]) return false;
    return std::all_of(name.begin() + 3, name.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
           name[3] != '0';
}

}  // namespace

bool VaIsDeviceGoneError(int error) {
    // ERROR_NOT_READY: Wine's port whose pseudo-terminal hung up; the others: USB adapters
    // unplugged while open, as their drivers report it.
    return error == ERROR_NOT_READY || error == ERROR_BAD_COMMAND || error == ERROR_GEN_FAILURE ||
           error == ERROR_DEVICE_NOT_CONNECTED || error == ERROR_DEVICE_REMOVED;
}

int VaHangUpError() {
    return ERROR_DEVICE_NOT_CONNECTED;
}

bool VaIsNotFoundError(int error) {
    return error == ERROR_FILE_NOT_FOUND;
}

bool VaIsAccessDeniedError(int) {
    // Windows gives its serial ports to every user; ERROR_ACCESS_DENIED says that another program
    // has the port open, which no permission would change.
    return false;
}

TVaPortHolder VaPortHolder(const std::string&) {
    // Windows names no holder of a port short of enumerating every process's handles.
    return {};
}

TVaSystemFault VaSystemFaultOf(int error) {
    if (VaIsNotFoundError(error) || error == ERROR_PATH_NOT_FOUND) return TVaSystemFault::NotFound;
    if (VaIsDeviceGoneError(error)) return TVaSystemFault::Gone;
    // A serial port is open to one program at a time: access denied means another has it.
    if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION)
        return TVaSystemFault::Busy;
    // The comm calls on a device that is no serial port.
    if (error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED ||
        error == ERROR_INVALID_HANDLE)
        return TVaSystemFault::NotASerialPort;
    return TVaSystemFault::Other;
}

std::string VaDeviceGroupName(const std::string&) {
    return "";
}

std::string VaSystemDevicePath(const std::string& devicePath) {
    if (!IsPortName(devicePath)) return devicePath;
    return "\\\\.\\" + VaUpper(devicePath);
}

std::shared_ptr<TVaPortDevice> VaOpenPortDevice(const std::string& systemPath, int& error) {
    error = 0;
    ScopedHandle handle(::CreateFileA(systemPath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
    if (!handle.Valid()) {
        error = LastError();
        return nullptr;
    }
    return std::make_shared<TWin32PortDevice>(std::move(handle));
}
