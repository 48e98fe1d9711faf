// SPDX-License-Identifier: MIT
// The serial component's system calls on Linux besides the device: error texts, thread ids and
// nice values, and an eventfd as the event loop's wake-up.
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <system_error>

#include "base/ScopedFd.h"
#include "serial/VaSystem.h"

std::string VaSystemMessage(int code) {
    char buffer[256];
    // The GNU strerror_r may return its own static text instead of filling the buffer.
    const char* text = strerror_r(code, buffer, sizeof buffer);
    return text ? text : "";
}

int VaCurrentThreadId() {
    return static_cast<int>(syscall(SYS_gettid));
}

void VaSetThreadPriority(int threadId, TThreadPriority priority) {
    // Nice values: each step of the named priorities is a few nice levels, the two ends the
    // extremes the scheduler offers.
    static constexpr int kNice[] = {19, 10, 5, 0, -5, -10, -20};
    if (threadId <= 0 || priority > tpTimeCritical) return;
    (void)setpriority(PRIO_PROCESS, static_cast<id_t>(threadId), kNice[priority]);
}

struct TVaWakeup::TNative {
    ScopedFd fd;
};

namespace {

ScopedFd CreateEventFd() {
    ScopedFd fd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!fd.Valid()) throw std::system_error(errno, std::generic_category(), "eventfd");
    return fd;
}

}  // namespace

TVaWakeup::TVaWakeup() : native_(new TNative{CreateEventFd()}) {}

TVaWakeup::~TVaWakeup() = default;

void TVaWakeup::Wake() noexcept {
    const int saved = errno;
    const std::uint64_t one = 1;
    // A full counter already means "wake up"; nothing else can go wrong with an eventfd.
    (void)!write(native_->fd.Get(), &one, sizeof one);
    errno = saved;
}

void TVaWakeup::Wait(int timeoutMs) {
    (void)Wait(timeoutMs, -1);
}

bool TVaWakeup::Wait(int timeoutMs, std::intptr_t also) {
    pollfd pfds[2] = {{native_->fd.Get(), POLLIN, 0}, {static_cast<int>(also), POLLIN, 0}};
    if (poll(pfds, also >= 0 ? 2 : 1, timeoutMs) <= 0) return false;
    if (pfds[0].revents & POLLIN) {
        std::uint64_t count;
        (void)!read(native_->fd.Get(), &count, sizeof count);
    }
    return also >= 0 && (pfds[1].revents & POLLIN) != 0;
}
