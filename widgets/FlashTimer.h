// SPDX-License-Identifier: MIT
#pragma once
// The process-wide flash timer: a tick every 50 ms for the whole life of the program, telling
// flashing controls on the window's thread when their phase flips. What ticks it is the
// desktop's: a thread of its own (widgets/FlashThread.h, the Qt window), the multimedia timer
// (widgets/win32/MmFlashTimer.h), a page's interval timer; no thread here.
//
// Registration and all delivery happen on the window's thread; the tick only reads the flash
// list under its lock and posts phase changes through the desktop's poster, so the window's
// thread never waits for it.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

// What the timer knows of a control that flashes: where its phases go, and a token that expires
// with the control, so that a phase on its way finds a control destroyed meanwhile gone.
class TFlashing {
public:
    TFlashing(const TFlashing&) = delete;
    TFlashing& operator=(const TFlashing&) = delete;

protected:
    TFlashing() = default;
    // Leaves the flash list: no phase is queued for it any more.
    virtual ~TFlashing();
    // The control's phase flipped at this tick; on the window's thread.
    virtual void FlashMessage(uint32_t tick, bool on) = 0;

private:
    friend class TFlashTimer;
    std::shared_ptr<TFlashing*> alive_ = std::make_shared<TFlashing*>(this);
};

class TFlashTimer {
public:
    static constexpr int kPeriodMs = 50;

    // Hands work to the window's thread, to run there later in the order posted; callable
    // from any thread. Without one, phases are dropped.
    using TPoster = std::function<void(std::function<void()>)>;
    static void SetPoster(TPoster poster);

    // Adds the control (or updates its entry) with a flash divisor, a single bit of the tick
    // counter whose flips are the control's phase changes. Window's thread only.
    static void RegisterFlash(TFlashing* control, uint32_t divisor);
    // Removes the control's entry; one that is not registered is no error. Window's thread only.
    static void UnregisterFlash(TFlashing* control);

    // One tick: advances the counter (wrapping after 0xFFFFFFFF) and queues a phase for every
    // control whose bit of the counter flipped. The desktop's ticker calls it; tests call it
    // with none running, then let the window's thread run what was posted.
    static void Tick();

    static uint32_t TickCounter();
    static void SetTickCounter(uint32_t value);  // for tests: reach the wrap quickly
    static std::size_t Count();
    static bool IsRegistered(const TFlashing* control);
    // The entry's divisor, 0 when the control is not registered.
    static uint32_t DivisorOf(const TFlashing* control);
};
