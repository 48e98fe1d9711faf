// SPDX-License-Identifier: MIT
// The serial device on Linux: a terminal opened without blocking, locked against other programs,
// waited on with epoll. The component's threads each own a watch (an epoll set holding the
// terminal and an eventfd), so that Close can release the terminal at once while a thread still
// waits: the kernel drops the terminal from the set, and the eventfd ends the wait.
#include <fcntl.h>
#include <grp.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "base/ScopedFd.h"
#include "base/ThreadSafety.h"
#include "serial/VaPort.h"
#include "serial/linux/VaLinux.h"

namespace {

using Clock = std::chrono::steady_clock;

// What a pseudo-terminal (or any device without modem lines or counters) answers to them.
bool Unsupported(int error) {
    return error == ENOTTY || error == EINVAL;
}

// The gap after the last received byte that ends a read.
constexpr auto kInterByteGap = std::chrono::milliseconds(5);
// Modem lines have no readiness notification that a Stop can interrupt; while they are watched
// they are sampled at this pace.
constexpr int kModemSampleMs = 20;

timespec ToTimespec(Clock::duration d) {
    if (d < Clock::duration::zero()) d = Clock::duration::zero();
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(d).count();
    return timespec{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
}

// Returns true when `fd` became ready for `events` before `deadline`.
bool WaitFd(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        const auto left = deadline - Clock::now();
        if (left <= Clock::duration::zero()) return false;
        pollfd pfd{fd, events, 0};
        const timespec ts = ToTimespec(left);
        const int n = ppoll(&pfd, 1, &ts, nullptr);
        if (n > 0) return true;
        if (n < 0 && errno != EINTR) return true;  // let the read or write report the error
    }
}

struct TCounters {
    serial_icounter_struct value{};
    bool valid = false;
};

bool ReadCounters(int fd, serial_icounter_struct& out) {
    return ioctl(fd, TIOCGICOUNT, &out) == 0;
}

std::uint32_t ErrorBits(const serial_icounter_struct& now, const serial_icounter_struct& before) {
    std::uint32_t bits = 0;
    if (now.buf_overrun != before.buf_overrun) bits |= CE_RXOVER;
    if (now.overrun != before.overrun) bits |= CE_OVERRUN;
    if (now.parity != before.parity) bits |= CE_RXPARITY;
    if (now.frame != before.frame) bits |= CE_FRAME;
    if (now.brk != before.brk) bits |= CE_BREAK;
    return bits;
}

class TLinuxPortDevice;

class TLinuxWatch final : public TVaPortWatch {
public:
    TLinuxWatch(std::shared_ptr<TLinuxPortDevice> device, ScopedFd epollFd, ScopedFd wakeFd,
                std::uint32_t mask)
        : device_(std::move(device)),
          epollFd_(std::move(epollFd)),
          wakeFd_(std::move(wakeFd)),
          mask_(mask) {}

    int WaitEvents(std::uint32_t& events) override { return Collect(events, -1); }
    int TakeEvents(std::uint32_t& events) override { return Collect(events, 0); }
    // The epoll set polls readable when it has events. Modem lines are sampled at a pace that
    // only a thread of the watch's own keeps.
    std::intptr_t ReadyHandle() const override { return Sampling() ? -1 : epollFd_.Get(); }
    bool WaitWritable() override;
    void Pause(int ms) override {
        pollfd pfd{wakeFd_.Get(), POLLIN, 0};
        (void)poll(&pfd, 1, ms);
    }
    void Wake() override {
        // Never read back: the eventfd stays readable, so every later wait ends at once too.
        const std::uint64_t one = 1;
        (void)!write(wakeFd_.Get(), &one, sizeof one);
    }

    // Set up by WatchEvents before the first wait.
    TCounters counters;
    int modemLines = -1;

private:
    // Waits up to `timeoutMs` (-1: until something happens) for the events of the mask.
    int Collect(std::uint32_t& events, int timeoutMs);
    bool Sampling() const;
    std::uint32_t SampleLines();

    std::shared_ptr<TLinuxPortDevice> device_;
    const ScopedFd epollFd_;
    const ScopedFd wakeFd_;
    const std::uint32_t mask_;
};

class TLinuxPortDevice final : public TVaPortDevice,
                               public std::enable_shared_from_this<TLinuxPortDevice> {
public:
    TLinuxPortDevice(ScopedFd fd, TVaLowLatency lowLatency)
        : lowLatency_(lowLatency), fd_(std::move(fd)) {
        statusCounters_.valid = ReadCounters(fd_.Get(), statusCounters_.value);
    }
    ~TLinuxPortDevice() override { Close(); }

    void Close() override {
        WriterLock lock(guard_);
        if (!fd_.Valid()) return;
        (void)ioctl(fd_.Get(), TIOCNXCL);
        fd_.Reset();  // also drops the flock and the terminal from every watch's epoll set
    }

    TVaLowLatency LowLatency() const override { return lowLatency_; }

    // Runs `f` with the descriptor while it is open; the device cannot close meanwhile.
    template <typename F>
    int WithFd(F f) {
        ReaderLock lock(guard_);
        if (!fd_.Valid()) return EBADF;
        return f(fd_.Get());
    }

    int WriteLineSettings(const TVaDcb& dcb) override {
        return WithFd([&](int fd) {
            if (const int error = VaWriteTermios2(fd, dcb)) return error;
            // Windows drives DTR and RTS from the block; here they follow it once, by hand.
            const int dtr = TIOCM_DTR;
            const int rts = TIOCM_RTS;
            const std::uint32_t dtrMode = dcb.Flags & fDtrControlMask;
            const std::uint32_t rtsMode = dcb.Flags & fRtsControlMask;
            if (dtrMode != fDtrControlHandshake)
                (void)ioctl(fd, dtrMode == fDtrControlEnable ? TIOCMBIS : TIOCMBIC, &dtr);
            if (rtsMode == 0 || rtsMode == fRtsControlEnable)
                (void)ioctl(fd, rtsMode == fRtsControlEnable ? TIOCMBIS : TIOCMBIC, &rts);
            return 0;
        });
    }

    int SetDtr(bool on) override {
        return WithFd([&](int fd) {
            const int dtr = TIOCM_DTR;
            if (ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &dtr) == 0) return 0;
            return Unsupported(errno) ? 0 : errno;
        });
    }

    int ReadStatus(TVaCommStatus& status) override {
        status = TVaCommStatus{};
        return WithFd([&](int fd) {
            int in = 0;
            if (ioctl(fd, TIOCINQ, &in) < 0) return errno;
            int out = 0;
            if (ioctl(fd, TIOCOUTQ, &out) < 0 && !Unsupported(errno)) return errno;
            status.InQueue = in > 0 ? static_cast<std::uint32_t>(in) : 0;
            status.OutQueue = out > 0 ? static_cast<std::uint32_t>(out) : 0;
            MutexLock lock(statusMutex_);
            serial_icounter_struct now{};
            if (statusCounters_.valid && ReadCounters(fd, now)) {
                status.Errors = ErrorBits(now, statusCounters_.value);
                statusCounters_.value = now;
            }
            return 0;
        });
    }

    int InputCount(int& count) override {
        count = 0;
        return WithFd([&](int fd) { return ioctl(fd, TIOCINQ, &count) < 0 ? errno : 0; });
    }

    int ReadRate(std::uint32_t& bitsPerSecond) override {
        bitsPerSecond = 0;
        return WithFd([&](int fd) { return VaReadTermios2Rate(fd, bitsPerSecond); });
    }

    int Read(void* buffer, int count, int timeoutMs, int& got) override {
        got = 0;
        return WithFd([&](int fd) {
            auto* bytes = static_cast<unsigned char*>(buffer);
            const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
            Clock::time_point lastByte{};
            while (got < count) {
                const ssize_t n = read(fd, bytes + got, static_cast<std::size_t>(count - got));
                if (n > 0) {
                    got += static_cast<int>(n);
                    lastByte = Clock::now();
                    continue;
                }
                if (n == 0) break;  // hung up: nothing more will come
                if (errno == EINTR) continue;
                if (errno != EAGAIN) return got > 0 ? 0 : errno;
                auto until = deadline;
                if (got > 0 && lastByte + kInterByteGap < until) until = lastByte + kInterByteGap;
                if (!WaitFd(fd, POLLIN, until)) break;
            }
            return 0;
        });
    }

    int Write(const void* data, int count, int timeoutMs, int& written) override {
        written = 0;
        return WithFd([&](int fd) {
            const auto* bytes = static_cast<const unsigned char*>(data);
            const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
            while (written < count) {
                const ssize_t n =
                    write(fd, bytes + written, static_cast<std::size_t>(count - written));
                if (n > 0) {
                    written += static_cast<int>(n);
                    continue;
                }
                if (n < 0 && errno == EINTR) continue;
                if (n < 0 && errno != EAGAIN) return errno;
                if (timeoutMs <= 0 || !WaitFd(fd, POLLOUT, deadline)) break;
            }
            return 0;
        });
    }

    std::unique_ptr<TVaPortWatch> WatchEvents(std::uint32_t eventMask, int& error) override;
    std::unique_ptr<TVaPortWatch> WatchWritable(int& error) override {
        return MakeWatch(EPOLLOUT, 0, error);
    }

private:
    std::unique_ptr<TLinuxWatch> MakeWatch(std::uint32_t terminalEvents, std::uint32_t mask,
                                           int& error);

    const TVaLowLatency lowLatency_;
    SharedMutex guard_;  // Close waits for the calls under way
    ScopedFd fd_ GUARDED_BY(guard_);
    Mutex statusMutex_;
    TCounters statusCounters_ GUARDED_BY(statusMutex_);
};

std::unique_ptr<TLinuxWatch> TLinuxPortDevice::MakeWatch(std::uint32_t terminalEvents,
                                                         std::uint32_t mask, int& error) {
    error = 0;
    ScopedFd epollFd(epoll_create1(EPOLL_CLOEXEC));
    if (!epollFd.Valid()) {
        error = errno;
        return nullptr;
    }
    ScopedFd wakeFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    epoll_event wake{};
    wake.events = EPOLLIN;
    wake.data.fd = wakeFd.Get();
    if (!wakeFd.Valid() || epoll_ctl(epollFd.Get(), EPOLL_CTL_ADD, wakeFd.Get(), &wake) < 0) {
        error = errno;
        return nullptr;
    }
    const int epoll = epollFd.Get();
    auto watch = std::make_unique<TLinuxWatch>(shared_from_this(), std::move(epollFd),
                                               std::move(wakeFd), mask);
    error = WithFd([&](int fd) {
        epoll_event terminal{};
        terminal.events = terminalEvents;
        terminal.data.fd = -1;
        return epoll_ctl(epoll, EPOLL_CTL_ADD, fd, &terminal) < 0 ? errno : 0;
    });
    // A device closed already leaves a watch that only Wake ends, which is what a stopped thread
    // needs.
    if (error == EBADF) error = 0;
    if (error) return nullptr;
    return watch;
}

std::unique_ptr<TVaPortWatch> TLinuxPortDevice::WatchEvents(std::uint32_t eventMask, int& error) {
    // Edge-triggered: a byte that a handler leaves unread is not reported again until more
    // bytes arrive.
    auto watch = MakeWatch(EPOLLIN | EPOLLET, eventMask, error);
    if (!watch) return nullptr;
    constexpr std::uint32_t kLineEvents = EV_CTS | EV_DSR | EV_RLSD | EV_RING;
    WithFd([&](int fd) {
        if (eventMask & (EV_ERR | EV_BREAK | kLineEvents))
            watch->counters.valid = ReadCounters(fd, watch->counters.value);
        int lines = 0;
        if ((eventMask & kLineEvents) && !watch->counters.valid && ioctl(fd, TIOCMGET, &lines) == 0)
            watch->modemLines = lines;
        return 0;
    });
    return watch;
}

std::uint32_t TLinuxWatch::SampleLines() {
    std::uint32_t events = 0;
    device_->WithFd([&](int fd) {
        if (counters.valid) {
            serial_icounter_struct now{};
            if (!ReadCounters(fd, now)) return 0;
            const auto& before = counters.value;
            if (ErrorBits(now, before) & ~CE_BREAK) events |= EV_ERR;
            if (now.brk != before.brk) events |= EV_BREAK;
            if (now.cts != before.cts) events |= EV_CTS;
            if (now.dsr != before.dsr) events |= EV_DSR;
            if (now.dcd != before.dcd) events |= EV_RLSD;
            if (now.rng != before.rng) events |= EV_RING;
            counters.value = now;
        } else if (modemLines >= 0) {
            int lines = 0;
            if (ioctl(fd, TIOCMGET, &lines) < 0) return 0;
            const int changed = lines ^ modemLines;
            if (changed & TIOCM_CTS) events |= EV_CTS;
            if (changed & TIOCM_DSR) events |= EV_DSR;
            if (changed & TIOCM_CD) events |= EV_RLSD;
            if (changed & TIOCM_RNG) events |= EV_RING;
            modemLines = lines;
        }
        return 0;
    });
    return events;
}

bool TLinuxWatch::Sampling() const {
    constexpr std::uint32_t kLineEvents = EV_CTS | EV_DSR | EV_RLSD | EV_RING;
    return (mask_ & kLineEvents) && (counters.valid || modemLines >= 0);
}

int TLinuxWatch::Collect(std::uint32_t& events, int timeoutMs) {
    events = 0;
    if (timeoutMs < 0 && Sampling()) timeoutMs = kModemSampleMs;
    epoll_event ready[2];
    const int n = epoll_wait(epollFd_.Get(), ready, 2, timeoutMs);
    if (n < 0) return errno == EINTR ? 0 : errno;
    bool woken = false;
    bool gone = false;
    for (int i = 0; i < n; ++i) {
        if (ready[i].data.fd == wakeFd_.Get()) {
            woken = true;
        } else {
            if (ready[i].events & (EPOLLIN | EPOLLHUP | EPOLLERR)) events |= EV_RXCHAR;
            // A terminal hung up: a pseudo-terminal whose far end closed, an adapter unplugged.
            // Edge-triggered, so it is reported once.
            if (ready[i].events & (EPOLLHUP | EPOLLERR)) gone = true;
        }
    }
    if (woken) {
        events = 0;
        return 0;
    }
    events |= SampleLines();
    events &= mask_;
    if (gone) events |= EV_DEVICEGONE;
    return 0;
}

bool TLinuxWatch::WaitWritable() {
    epoll_event ready[2];
    const int n = epoll_wait(epollFd_.Get(), ready, 2, -1);
    for (int i = 0; i < n; ++i)
        if (ready[i].data.fd == wakeFd_.Get()) return false;
    return true;
}

// A USB adapter otherwise holds received bytes back for its latency timer, 16 ms by default: up
// to 16 ms on every answer of the device. Asked of every port; the flag is one of those any user
// may set, and ftdi_sio then runs its latency timer at 1 ms. A pseudo-terminal, and a driver
// without the setting, answer ENOTTY or EINVAL: nothing to ask there.
TVaLowLatency RequestLowLatency(int fd) {
    constexpr int kLowLatency = ASYNC_LOW_LATENCY;  // the flags are a plain int
    serial_struct serial{};
    if (ioctl(fd, TIOCGSERIAL, &serial) != 0) return Unsupported(errno) ? llUnsupported : llRefused;
    if (serial.flags & kLowLatency) return llOn;
    serial.flags |= kLowLatency;
    if (ioctl(fd, TIOCSSERIAL, &serial) != 0) return Unsupported(errno) ? llUnsupported : llRefused;
    // A driver may take the call and drop the flag.
    serial_struct now{};
    if (ioctl(fd, TIOCGSERIAL, &now) != 0 || !(now.flags & kLowLatency)) return llRefused;
    return llOn;
}

}  // namespace

bool VaIsDeviceGoneError(int error) {
    // EIO: a hung-up terminal; ENXIO, ENODEV: a device removed while open.
    return error == EIO || error == ENXIO || error == ENODEV;
}

int VaHangUpError() {
    return EIO;
}

bool VaIsNotFoundError(int error) {
    return error == ENOENT;
}

bool VaIsAccessDeniedError(int error) {
    return error == EACCES || error == EPERM;
}

TVaSystemFault VaSystemFaultOf(int error) {
    if (VaIsNotFoundError(error)) return TVaSystemFault::NotFound;
    if (VaIsAccessDeniedError(error)) return TVaSystemFault::AccessDenied;
    if (VaIsDeviceGoneError(error)) return TVaSystemFault::Gone;
    // EBUSY: the exclusive lock of another program; ENOTTY: no terminal (a plain file,
    // /dev/null); EISDIR: a folder.
    if (error == EBUSY || error == EWOULDBLOCK) return TVaSystemFault::Busy;
    if (error == ENOTTY || error == EISDIR) return TVaSystemFault::NotASerialPort;
    return TVaSystemFault::Other;
}

std::string VaDeviceGroupName(const std::string& systemPath) {
    struct stat st {};
    if (stat(systemPath.c_str(), &st) != 0) return "";
    group entry{};
    group* found = nullptr;
    char buffer[4096];
    if (getgrgid_r(st.st_gid, &entry, buffer, sizeof buffer, &found) != 0 || !found) return "";
    return found->gr_name;
}

std::string VaSystemDevicePath(const std::string& devicePath) {
    if (devicePath.find('/') != std::string::npos) return devicePath;
    // Beyond COM8 a COM name would lead to a port the window never offers, which the tool
    // would take for the one meant: such a name is no device.
    if (devicePath.size() == 4 &&
        (devicePath.compare(0, 3, "COM") == 0 || devicePath.compare(0, 3, "com") == 0) &&
        devicePath[3] >= '1' && devicePath[3] <= '8')
        return "/dev/ttyS" + std::to_string(devicePath[3] - '1');
    return "/dev/" + devicePath;
}

namespace {
// The program of process `pid` as /proc names it.
TVaPortHolder ProcessHolder(int pid) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return {name, pid};
}

// The process whose lock on the file `device` keeps others out, from /proc/locks: "1: FLOCK
// ADVISORY WRITE 4242 00:19:3 0 EOF", the file as major:minor (hexadecimal) of its file system
// and its inode. 0 when none holds one.
int LockHolder(const struct stat& device) {
    std::ifstream locks("/proc/locks");
    for (std::string line; std::getline(locks, line);) {
        std::istringstream fields(line);
        std::string id, kind, mode, access, file;
        int pid = 0;
        fields >> id >> kind;
        if (kind == "->") fields >> kind;  // a waiter's line
        fields >> mode >> access >> pid >> file;
        unsigned fsMajor = 0, fsMinor = 0;
        unsigned long long inode = 0;
        if (std::sscanf(file.c_str(), "%x:%x:%llu", &fsMajor, &fsMinor, &inode) == 3 &&
            fsMajor == major(device.st_dev) && fsMinor == minor(device.st_dev) &&
            inode == device.st_ino && pid > 0)
            return pid;
    }
    return 0;
}
}  // namespace

TVaPortHolder VaPortHolder(const std::string& systemPath) {
    namespace fs = std::filesystem;
    struct stat device {};
    if (stat(systemPath.c_str(), &device) != 0) return {};
    // The lock keeps others out; more programs may have the device open (a simulator its own
    // end of the line).
    if (const int locker = LockHolder(device)) return ProcessHolder(locker);
    const auto same = [&device](const struct stat& held) {
        if (S_ISCHR(device.st_mode)) return S_ISCHR(held.st_mode) && held.st_rdev == device.st_rdev;
        return held.st_dev == device.st_dev && held.st_ino == device.st_ino;
    };
    // Processes come and go while their folders are read: every step takes its error rather than
    // throw, and a process that has gone, or another user's, whose open files are not ours to
    // see, is passed over.
    std::error_code error;
    for (fs::directory_iterator process("/proc", error), end; !error && process != end;
         process.increment(error)) {
        const std::string pid = process->path().filename().string();
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) continue;
        std::error_code unreadable;
        for (fs::directory_iterator fd(process->path() / "fd", unreadable);
             !unreadable && fd != end; fd.increment(unreadable)) {
            struct stat held {};
            if (stat(fd->path().c_str(), &held) != 0 || !same(held)) continue;
            int id = 0;
            std::from_chars(pid.data(), pid.data() + pid.size(), id);
            return ProcessHolder(id);
        }
    }
    return {};
}

std::shared_ptr<TVaPortDevice> VaOpenPortDevice(const std::string& systemPath, int& error) {
    error = 0;
    ScopedFd fd(open(systemPath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.Valid()) {
        error = errno;
        return nullptr;
    }
    if (!isatty(fd.Get())) {
        error = ENOTTY;
        return nullptr;
    }
    // TIOCEXCL keeps other users out but not root; the lock keeps out every program that asks.
    if (flock(fd.Get(), LOCK_EX | LOCK_NB) < 0) {
        error = errno == EWOULDBLOCK ? EBUSY : errno;
        return nullptr;
    }
    (void)ioctl(fd.Get(), TIOCEXCL);
    const TVaLowLatency lowLatency = RequestLowLatency(fd.Get());
    return std::make_shared<TLinuxPortDevice>(std::move(fd), lowLatency);
}
