// SPDX-License-Identifier: MIT
#include "widgets/FlashTimer.h"

#include <chrono>
#include <memory>
#include <utility>
#include <vector>

#include "base/ThreadSafety.h"

namespace {

struct TFlashEntry {
    const TFlashing* key;               // identity only; never used to reach the control
    std::weak_ptr<TFlashing*> control;  // locked on the window's thread to deliver
    uint32_t divisor;
    uint32_t lastCounter;
};

struct TFlashPhase {
    std::weak_ptr<TFlashing*> control;
    uint32_t tick;
    bool on;
};

uint32_t MillisecondsSinceStart() {
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

struct TFlashState {
    Mutex listLock;
    std::vector<TFlashEntry> list GUARDED_BY(listLock);
    uint32_t counter GUARDED_BY(listLock) = 0;
    TFlashTimer::TPoster poster GUARDED_BY(listLock);
};

TFlashState& State() {
    static TFlashState state;
    return state;
}

TFlashEntry* Find(std::vector<TFlashEntry>& list, const TFlashing* control) {
    for (TFlashEntry& e : list)
        if (e.key == control) return &e;
    return nullptr;
}

}  // namespace

TFlashing::~TFlashing() {
    TFlashTimer::UnregisterFlash(this);
}

void TFlashTimer::RegisterFlash(TFlashing* control, uint32_t divisor) {
    TFlashState& s = State();
    const uint32_t last = divisor + MillisecondsSinceStart();
    std::weak_ptr<TFlashing*> pointer = control->alive_;
    MutexLock guard(s.listLock);
    if (TFlashEntry* e = Find(s.list, control)) {
        e->divisor = divisor;
        e->lastCounter = last;
        return;
    }
    s.list.push_back({control, std::move(pointer), divisor, last});
    if (s.list.capacity() - s.list.size() < 2) s.list.reserve(s.list.size() + 10);
}

void TFlashTimer::UnregisterFlash(TFlashing* control) {
    TFlashState& s = State();
    MutexLock guard(s.listLock);
    for (auto it = s.list.begin(); it != s.list.end(); ++it) {
        if (it->key == control) {
            s.list.erase(it);
            return;
        }
    }
}

void TFlashTimer::Tick() {
    TFlashState& s = State();
    std::vector<TFlashPhase> phases;
    TPoster post;
    {
        MutexLock guard(s.listLock);
        post = s.poster;
        s.counter = s.counter == 0xFFFFFFFFu ? 0 : s.counter + 1;
        for (TFlashEntry& e : s.list) {
            try {
                if ((e.divisor & e.lastCounter) != (e.divisor & s.counter))
                    phases.push_back({e.control, s.counter, (e.divisor & s.counter) != 0});
                e.lastCounter = s.counter;
            } catch (...) {
                // One entry that cannot be served must not stop the others.
            }
        }
    }
    if (phases.empty() || !post) return;
    for (TFlashPhase& phase : phases) {
        try {
            post([p = std::move(phase)] {
                if (const auto control = p.control.lock()) (*control)->FlashMessage(p.tick, p.on);
            });
        } catch (...) {
        }
    }
}

void TFlashTimer::SetPoster(TPoster poster) {
    TFlashState& s = State();
    MutexLock guard(s.listLock);
    s.poster = std::move(poster);
}

uint32_t TFlashTimer::TickCounter() {
    TFlashState& s = State();
    MutexLock guard(s.listLock);
    return s.counter;
}

void TFlashTimer::SetTickCounter(uint32_t value) {
    TFlashState& s = State();
    MutexLock guard(s.listLock);
    s.counter = value;
}

std::size_t TFlashTimer::Count() {
    TFlashState& s = State();
    MutexLock guard(s.listLock);
    return s.list.size();
}

bool TFlashTimer::IsRegistered(const TFlashing* control) {
    TFlashState& s = State();
    MutexLock guard(s.listLock);
    return Find(s.list, control) != nullptr;
}

uint32_t TFlashTimer::DivisorOf(const TFlashing* control) {
    TFlashState& s = State();
    MutexLock guard(s.listLock);
    const TFlashEntry* e = Find(s.list, control);
    return e ? e->divisor : 0;
}
