// SPDX-License-Identifier: MIT
// The serial component's system calls on Windows besides the device: error texts from the
// system's message table, thread ids and priorities, and an auto-reset event as the event loop's
// wake-up.
#include <windows.h>

#include <system_error>

#include "base/ScopedHandle.h"
#include "serial/VaSystem.h"

std::string VaSystemMessage(int code) {
    char text[256] = {};
    // Language 0: the system's own choice; inserts are left as they stand.
    const DWORD length =
        ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                         static_cast<DWORD>(code), 0, text, sizeof text - 1, nullptr);
    return std::string(text, length);
}

int VaCurrentThreadId() {
    return static_cast<int>(::GetCurrentThreadId());
}

void VaSetThreadPriority(int threadId, TThreadPriority priority) {
    static constexpr int kPriorities[] = {THREAD_PRIORITY_IDLE,         THREAD_PRIORITY_LOWEST,
                                          THREAD_PRIORITY_BELOW_NORMAL, THREAD_PRIORITY_NORMAL,
                                          THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST,
                                          THREAD_PRIORITY_TIME_CRITICAL};
    if (threadId <= 0 || priority > tpTimeCritical) return;
    const ScopedHandle thread(
        ::OpenThread(THREAD_SET_INFORMATION, FALSE, static_cast<DWORD>(threadId)));
    if (thread.Valid()) (void)::SetThreadPriority(thread.Get(), kPriorities[priority]);
}

struct TVaWakeup::TNative {
    ScopedHandle event;
};

namespace {

ScopedHandle CreateWakeEvent() {
    // Auto-reset: a wait takes the wake, and wakes given meanwhile count as one.
    ScopedHandle event(::CreateEventA(nullptr, FALSE, FALSE, nullptr));
    if (!event.Valid())
        throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(),
                                "CreateEvent");
    return event;
}

}  // namespace

TVaWakeup::TVaWakeup() : native_(new TNative{CreateWakeEvent()}) {}

TVaWakeup::~TVaWakeup() = default;

void TVaWakeup::Wake() noexcept {
    // Also from a console control handler, which runs on a thread of its own.
    const DWORD saved = ::GetLastError();
    (void)::SetEvent(native_->event.Get());
    ::SetLastError(saved);
}

void TVaWakeup::Wait(int timeoutMs) {
    (void)Wait(timeoutMs, -1);
}

bool TVaWakeup::Wait(int timeoutMs, std::intptr_t also) {
    const DWORD limit = timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs);
    if (also == -1) {
        (void)::WaitForSingleObject(native_->event.Get(), limit);
        return false;
    }
    const HANDLE handles[2] = {native_->event.Get(), reinterpret_cast<HANDLE>(also)};
    const DWORD woken = ::WaitForMultipleObjects(2, handles, FALSE, limit);
    // The first one signalled answers; a ready port whose wake-up came too is seen next time.
    return woken == WAIT_OBJECT_0 + 1;
}
