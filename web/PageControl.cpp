// SPDX-License-Identifier: MIT
#include "web/PageControl.h"

#include <cassert>

#include "web/PageBridge.h"
#include "web/PageFont.h"
#include "widgets/PixelCanvas.h"

bool PagePointerDown() {
    return PageJsPointerDown() != 0;
}

void TPageSurface::SetUpSurface(TPageControlId id, int width, int height) {
    assert(width > 0 && height > 0);
    id_ = id;
    width_ = width;
    height_ = height;
}

void TPageSurface::PaintPage() {
    RefreshSurface();
    ShowNow({0, 0, surface_.Width, surface_.Height});
}

void TPageSurface::NewSurface(TSize size) {
    // The window's face wherever the control leaves its box undrawn.
    surface_ = TPixels(size.cx, size.cy, ColorToRGB(clBtnFace));
}

void TPageSurface::DrawOnSurface(const std::function<void(TCanvas&)>& draw) {
    TPixelCanvas canvas(surface_, nullptr, &PageTextFace());
    draw(canvas);
}

void TPageSurface::PaintLater() {
    PageJsPaintLater();
}

void TPageSurface::ShowNow(const TRect& area) {
    if (surface_.IsEmpty()) return;
    PageJsBlit(static_cast<int>(id_), surface_.Data.data(), surface_.Width, surface_.Height,
               area.Left, area.Top, area.Right, area.Bottom);
}
