// SPDX-License-Identifier: MIT
#pragma once
// What the serial component needs of the system besides its devices (VaPort.h) and their list
// (VaPortList.h): the texts of error codes, thread ids and priorities, and the wake-up the event
// loop waits on. Each platform implements it in its own folder (serial/linux/VaSystemLinux.cpp).
#include <cstdint>
#include <memory>
#include <string>

#include "serial/VaTypes.h"

// The system's own text for an error code, untrimmed (VaSystemErrorText trims it).
std::string VaSystemMessage(int code);

// The calling thread's id as the system knows it, for VaSetThreadPriority.
int VaCurrentThreadId();

// Best effort: gives the thread the priority; lowering works for everyone, raising may be
// refused without privileges and is then left as it is.
void VaSetThreadPriority(int threadId, TThreadPriority priority);

// What one thread waits for and any other thread, or a signal handler, gives. Wakes given while
// nobody waits are kept; several count as one.
class TVaWakeup {
public:
    // Raises std::system_error when the system refuses one.
    TVaWakeup();
    ~TVaWakeup();
    TVaWakeup(const TVaWakeup&) = delete;
    TVaWakeup& operator=(const TVaWakeup&) = delete;

    // Safe in a signal handler.
    void Wake() noexcept;
    // Returns after a Wake, which it takes, or after `timeoutMs` (-1: no limit).
    void Wait(int timeoutMs);
    // The same, and also when the system handle `also` (a port watch's ReadyHandle) is ready;
    // returns whether it is.
    bool Wait(int timeoutMs, std::intptr_t also);

private:
    struct TNative;
    const std::unique_ptr<TNative> native_;
};
