// SPDX-License-Identifier: MIT
// Stop requests on Windows: the console's control events, whose handler the system runs on a
// thread of its own.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <stdexcept>

#include "cli/InterruptGuard.h"
#include "serial/VaEventLoop.h"

namespace {

// The most the system waits for a handler of a closing console before it ends the program.
constexpr DWORD kClosingLimitMs = 4500;

std::mutex g_mutex;  // a handler running keeps the guard, and so its loop, from ending
TVaEventLoop* g_loop = nullptr;
std::atomic<int> g_signal{0};
// Set while no guard stands; for the program's whole life, as a handler may still wait on it.
const HANDLE g_ended = ::CreateEventA(nullptr, TRUE, TRUE, nullptr);

BOOL WINAPI OnControl(DWORD type) {
    const bool closing =
        type == CTRL_CLOSE_EVENT || type == CTRL_LOGOFF_EVENT || type == CTRL_SHUTDOWN_EVENT;
    {
        std::lock_guard lock(g_mutex);
        if (!g_loop) return FALSE;  // the next handler's, or the system's, to end the program
        g_signal.store(closing ? kSignalHangUp : kSignalInterrupt);
        g_loop->Quit();
    }
    if (closing) (void)::WaitForSingleObject(g_ended, kClosingLimitMs);
    return TRUE;
}

}  // namespace

struct InterruptGuard::Saved {};

// Nothing to restore: the handler is removed by its own function.
InterruptGuard::InterruptGuard(TVaEventLoop& loop) {
    std::lock_guard lock(g_mutex);
    if (g_loop) throw std::logic_error("a transfer is already watching for Ctrl-C");
    g_loop = &loop;
    g_signal.store(0);
    ::ResetEvent(g_ended);
    ::SetConsoleCtrlHandler(OnControl, TRUE);
}

InterruptGuard::~InterruptGuard() {
    ::SetConsoleCtrlHandler(OnControl, FALSE);
    std::lock_guard lock(g_mutex);
    g_loop = nullptr;
    ::SetEvent(g_ended);
}

int InterruptGuard::Signal() const {
    return g_signal.load();
}

void InterruptGuard::StartThreads(const std::function<void()>& start) {
    // Control events come on a thread of their own, never on these.
    start();
}
