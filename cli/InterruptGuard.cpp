// SPDX-License-Identifier: MIT
#include "cli/InterruptGuard.h"

#include <atomic>
#include <stdexcept>

#include "serial/VaEventLoop.h"

namespace {
std::atomic<TVaEventLoop*> g_loop{nullptr};
volatile std::sig_atomic_t g_signal = 0;

static_assert(std::atomic<TVaEventLoop*>::is_always_lock_free,
              "the signal handler may only touch lock-free atomics");

void OnSignal(int signal) {
    g_signal = signal;
    if (TVaEventLoop* loop = g_loop.load()) loop->Quit();
}
}  // namespace

InterruptGuard::InterruptGuard(TVaEventLoop& loop) {
    TVaEventLoop* none = nullptr;
    if (!g_loop.compare_exchange_strong(none, &loop))
        throw std::logic_error("a transfer is already watching for Ctrl-C");
    g_signal = 0;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &oldInt_);
    sigaction(SIGTERM, &action, &oldTerm_);
    sigaction(SIGHUP, &action, &oldHup_);
}

InterruptGuard::~InterruptGuard() {
    sigaction(SIGINT, &oldInt_, nullptr);
    sigaction(SIGTERM, &oldTerm_, nullptr);
    sigaction(SIGHUP, &oldHup_, nullptr);
    g_loop.store(nullptr);
}

int InterruptGuard::Signal() const {
    return g_signal;
}
