// SPDX-License-Identifier: MIT
// Stop requests on Linux: SIGINT, SIGTERM and SIGHUP.
#include <pthread.h>

#include <atomic>
#include <csignal>
#include <iterator>
#include <stdexcept>

#include "base/ScopeGuard.h"
#include "cli/InterruptGuard.h"
#include "serial/VaEventLoop.h"

static_assert(SIGHUP == kSignalHangUp && SIGINT == kSignalInterrupt && SIGTERM == kSignalTerminate,
              "the stop requests carry the signals' own numbers");

namespace {
std::atomic<TVaEventLoop*> g_loop{nullptr};
volatile std::sig_atomic_t g_signal = 0;

static_assert(std::atomic<TVaEventLoop*>::is_always_lock_free,
              "the signal handler may only touch lock-free atomics");

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

void OnSignal(int signal) {
    g_signal = signal;
    if (TVaEventLoop* loop = g_loop.load()) loop->Quit();
}
}  // namespace

struct InterruptGuard::Saved {
    struct sigaction previous[std::size(kSignals)]{};
};

InterruptGuard::InterruptGuard(TVaEventLoop& loop) : saved_(std::make_unique<Saved>()) {
    TVaEventLoop* none = nullptr;
    if (!g_loop.compare_exchange_strong(none, &loop))
        throw std::logic_error("a transfer is already watching for Ctrl-C");
    g_signal = 0;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        sigaction(kSignals[i], &action, &saved_->previous[i]);
}

InterruptGuard::~InterruptGuard() {
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        sigaction(kSignals[i], &saved_->previous[i], nullptr);
    g_loop.store(nullptr);
}

int InterruptGuard::Signal() const {
    return g_signal;
}

void InterruptGuard::StartThreads(const std::function<void()>& start) {
    // The new threads inherit the mask: the signals reach only the guard's thread.
    sigset_t signals, before;
    sigemptyset(&signals);
    for (const int signal : kSignals)
        sigaddset(&signals, signal);
    pthread_sigmask(SIG_BLOCK, &signals, &before);
    const ScopeGuard restore([&] { pthread_sigmask(SIG_SETMASK, &before, nullptr); });
    start();
}
