// SPDX-License-Identifier: MIT
#pragma once
// The process-wide flash timer: one thread ticking every 50 ms for the whole life of the
// program, telling flashing controls on the GUI thread when their phase flips.
//
// The program starts it before any window exists and stops it at the end:
//     TFlashTimer::Start(); const ScopeGuard stop(&TFlashTimer::Stop); QApplication app(...);
// Registration and all delivery happen on the GUI thread; the tick thread only reads the flash
// list under its lock and queues phase changes, so the GUI thread never waits for it.
#include <cstddef>
#include <cstdint>

class TAbBinGControl;

class TFlashTimer {
public:
    static constexpr int kPeriodMs = 50;

    // Starts the tick thread; a second Start while running does nothing.
    static void Start();
    // Stops the tick thread and waits for it; the flash list stays as it is.
    static void Stop();
    static bool Running();

    // Adds the control (or updates its entry) with a flash divisor, a single bit of the tick
    // counter whose flips are the control's phase changes. GUI thread only.
    static void RegisterFlash(TAbBinGControl* control, uint32_t divisor);
    // Removes the control's entry; one that is not registered is no error. GUI thread only.
    static void UnregisterFlash(TAbBinGControl* control);

    // One tick: advances the counter (wrapping after 0xFFFFFFFF) and queues a phase for every
    // control whose bit of the counter flipped. The thread calls it; tests call it with the
    // thread stopped, then let the GUI thread's event loop deliver.
    static void Tick();

    static uint32_t TickCounter();
    static void SetTickCounter(uint32_t value);  // for tests: reach the wrap quickly
    static std::size_t Count();
    static bool IsRegistered(const TAbBinGControl* control);
    // The entry's divisor, 0 when the control is not registered.
    static uint32_t DivisorOf(const TAbBinGControl* control);
};
