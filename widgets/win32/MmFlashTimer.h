// SPDX-License-Identifier: MIT
#pragma once
// The flash timer's 50 ms tick on the multimedia timer service, for as long as the object lives;
// its phases reach the window's thread through the given work queue. Stands in for
// TFlashThread on Windows.
#include <windows.h>

#include "widgets/win32/WinHandles.h"
#include "widgets/win32/WinWorkQueue.h"

class TMmFlashTimer {
public:
    explicit TMmFlashTimer(TWinWorkQueue& queue);
    // Kills the timer (waiting for a tick under way) before the poster goes.
    ~TMmFlashTimer();
    TMmFlashTimer(const TMmFlashTimer&) = delete;
    TMmFlashTimer& operator=(const TMmFlashTimer&) = delete;

    bool Running() const { return timer_.Valid(); }

private:
    TMmTimer timer_;
};
