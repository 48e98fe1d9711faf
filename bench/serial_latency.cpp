// SPDX-License-Identifier: MIT
// Round trip far end -> OnRxChar -> WriteBytes -> far end on a pseudo-terminal, with the
// component's threads as the window has them and with the loop's thread alone as tevr-flash has
// it, and the CPU time an open but idle port costs.
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "base/ScopedFd.h"
#include "serial/VaComm.h"
#include "serial/VaEventLoop.h"

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

constexpr int kRounds = 10000;

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

bool ReadOne(int fd, unsigned char& byte) {
    for (;;) {
        if (read(fd, &byte, 1) == 1) return true;
        pollfd pfd{fd, POLLIN, 0};
        if (poll(&pfd, 1, 5000) <= 0) return false;
    }
}

// The component as the window has it (an event thread hands the events over, a write thread
// sends), or as tevr-flash has it (the loop waits for the port itself, the handler writes).
struct Setup {
    const char* name;
    TVaPortWaiting waiting;
    bool directWrite;
};

// Round trips through a component set up as `setup`, then (if `idle`) the CPU time of an open
// idle port; false when they failed.
bool Measure(const Setup& setup, bool idle) {
    const ScopedFd masterFd(posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    const int master = masterFd.Get();
    char name[128];
    if (master < 0 || grantpt(master) || unlockpt(master) || ptsname_r(master, name, sizeof name)) {
        std::fprintf(stderr, "no pseudo-terminal\n");
        return false;
    }
    auto loop = std::make_shared<TVaEventLoop>(setup.waiting);
    TVaComm comm(loop);
    comm.SetBaudrate(brUser);
    comm.SetUserBaudrate(10400);
    comm.SetDeviceName(name);
    comm.SetDirectWrite(setup.directWrite);
    if (setup.directWrite) comm.SetMonitorEvents(TVaCommEvents{ceError, ceRxChar});
    comm.OnRxChar = [](TVaCustomComm& sender, int count) {
        unsigned char buffer[256];
        const int got = sender.ReadBytes(buffer, std::min(count, 256));
        sender.WriteBytes(buffer, got);
    };
    comm.Open();
    comm.SetDtr(false);

    std::vector<double> micros;
    micros.reserve(kRounds);
    std::atomic<bool> done{false};
    std::thread far([&] {
        for (int i = 0; i < kRounds; ++i) {
            const unsigned char out = static_cast<unsigned char>(i);
            unsigned char back = 0;
            const auto start = Clock::now();
            if (write(master, &out, 1) != 1 || !ReadOne(master, back) || back != out) break;
            micros.push_back(
                std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        }
        done = true;
        loop->Post([] {});
    });
    loop->RunUntil([&] { return done.load(); }, 300s);
    far.join();
    if (micros.size() != kRounds) {
        std::fprintf(stderr, "round trip failed after %zu rounds\n", micros.size());
        return false;
    }
    std::sort(micros.begin(), micros.end());
    std::printf("round trip on a pty, %d times, %s: median %.1f us, p99 %.1f us, max %.1f us\n",
                kRounds, setup.name, micros[kRounds / 2], micros[kRounds * 99 / 100],
                micros.back());
    if (idle) {
        const double cpuBefore = CpuSeconds();
        const auto idleStart = Clock::now();
        loop->RunUntil(nullptr, 10s);
        const double wall = std::chrono::duration<double>(Clock::now() - idleStart).count();
        const double cpu = CpuSeconds() - cpuBefore;
        std::printf("open idle port: %.4f s CPU in %.1f s (%.4f %% of one core)\n", cpu, wall,
                    100.0 * cpu / wall);
    }
    comm.Close();
    return true;
}

}  // namespace

int main() {
    const Setup threads{"event and write threads (the window)", pwByThread, false};
    const Setup oneThread{"the loop's thread alone (tevr-flash)", pwByLoop, true};
    return Measure(threads, true) && Measure(oneThread, false) ? 0 : 1;
}
