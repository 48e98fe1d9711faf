// SPDX-License-Identifier: MIT
#include "widgets/PaintCache.h"

#include "base/ScopeGuard.h"

namespace {
bool IsEmpty(TSize size) {
    return size.cx <= 0 || size.cy <= 0;
}
}  // namespace

bool TPaintCache::MayDrawNow(TSize surface, TSize control) const {
    return !painting_ && !stale_ && !IsEmpty(surface) && surface == control;
}

void TPaintCache::Refresh(TSize surface, TSize control, const std::function<void()>& drop,
                          const std::function<void()>& paintAnew) {
    if (!stale_ && surface == control) return;
    drop();
    if (!IsEmpty(control)) {
        painting_ = true;
        const ScopeGuard painted([this] { painting_ = false; });
        ++fullPaints_;
        paintAnew();
    }
    // After the paint: what the control asked for while it ran is drawn already.
    stale_ = false;
}
