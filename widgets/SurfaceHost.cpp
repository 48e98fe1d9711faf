// SPDX-License-Identifier: MIT
#include "widgets/SurfaceHost.h"

void TSurfaceHost::InvalidateSurface() {
    cache_.MarkStale();
    PaintLater();
}

void TSurfaceHost::RepaintSurface() {
    cache_.MarkStale();
    if (cache_.MayRepaintNow()) PaintAtOnce();
}

void TSurfaceHost::DrawNowOnSurface(const TRect& area, const std::function<void(TCanvas&)>& draw) {
    if (!cache_.MayDrawNow(SurfaceSize(), ScreenSize())) return;
    DrawOnSurface(draw);
    if (!area.IsEmpty()) ShowNow(area);
}

void TSurfaceHost::RefreshSurface() {
    const TSize size = ScreenSize();
    cache_.Refresh(
        SurfaceSize(), size, [this] { DropSurface(); },
        [this, size] {
            NewSurface(size);
            DrawOnSurface([this](TCanvas& canvas) { PaintControl(canvas); });
        });
}
