// SPDX-License-Identifier: MIT
#pragma once
// The flash timer's tick on a thread of its own, every 50 ms, for a desktop without a timer
// service that could tick it (Qt). The program starts it before any window exists and stops it
// at the end:
//     TFlashThread::Start(); const ScopeGuard stop(&TFlashThread::Stop); QApplication app(...);
class TFlashThread {
public:
    // Starts the tick thread; a second Start while running does nothing.
    static void Start();
    // Stops the tick thread and waits for it; the flash list stays as it is.
    static void Stop();
    static bool Running();
};
