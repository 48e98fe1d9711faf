// SPDX-License-Identifier: MIT
#include "widgets/win32/MmFlashTimer.h"

#include "widgets/FlashTimer.h"

namespace {
void CALLBACK OnTick(UINT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR) {
    TFlashTimer::Tick();
}
}  // namespace

TMmFlashTimer::TMmFlashTimer(TWinWorkQueue& queue) {
    TFlashTimer::SetPoster([&queue](std::function<void()> work) { queue.Post(std::move(work)); });
    // TIME_KILL_SYNCHRONOUS: timeKillEvent returns only once no tick runs any more.
    timer_.Reset(timeSetEvent(TFlashTimer::kPeriodMs, 0, &OnTick, 0,
                              TIME_PERIODIC | TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS));
}

TMmFlashTimer::~TMmFlashTimer() {
    timer_.Reset();
    TFlashTimer::SetPoster(nullptr);
}
