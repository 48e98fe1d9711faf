// SPDX-License-Identifier: MIT
#pragma once
// The off-screen surface that a desktop's host keeps of its control, kept alike on every desktop
// by TPaintCache's rules: the whole control painted anew only when its look changed, a state
// drawn straight onto an up-to-date surface and shown at once, the surface shown at the
// desktop's paint. A host supplies only its API's part, the functions under "the desktop".
//
//     void TQtHost::paintEvent(QPaintEvent* e) { RefreshSurface(); /* show the surface */ }
#include <functional>

#include "widgets/Canvas.h"
#include "widgets/PaintCache.h"

class TSurfaceHost {
public:
    TSurfaceHost(const TSurfaceHost&) = delete;
    TSurfaceHost& operator=(const TSurfaceHost&) = delete;

    // How many times the whole surface was painted; the state draws do not count. For checks
    // that a state change stays cheap.
    int FullPaintCount() const { return cache_.FullPaints(); }

protected:
    TSurfaceHost() = default;
    virtual ~TSurfaceHost() = default;

    // The control's Invalidate: the desktop paints all of it at its next paint.
    void InvalidateSurface();
    // The control's Repaint: the same at once, unless a paint is under way (it shows it already).
    void RepaintSurface();
    // The control's DrawNow.
    void DrawNowOnSurface(const TRect& area, const std::function<void(TCanvas&)>& draw);
    // The desktop changed what the control looks like (its size, visibility or colours): the
    // next paint paints all of it.
    void SurfaceOutdated() { cache_.MarkStale(); }
    // In the desktop's paint, before the surface is shown: a surface that is outdated, or not of
    // the control's size, goes, and a new one gets the whole control.
    void RefreshSurface();

    // --- The desktop ---------------------------------------------------------------------------
    // The size of the surface kept ((0, 0) for none), and of the control on the screen.
    virtual TSize SurfaceSize() const = 0;
    virtual TSize ScreenSize() const = 0;
    virtual void DropSurface() = 0;
    // A surface of `size`, showing what lies beneath wherever the control leaves it undrawn.
    virtual void NewSurface(TSize size) = 0;
    // Runs `draw` on a canvas over the surface, its drawing finished when it returns.
    virtual void DrawOnSurface(const std::function<void(TCanvas&)>& draw) = 0;
    // The control's whole picture (its Paint).
    virtual void PaintControl(TCanvas& canvas) = 0;
    // The desktop paints the host at its next paint, or at once.
    virtual void PaintLater() = 0;
    virtual void PaintAtOnce() = 0;
    // Shows `area` of the surface on the screen at once.
    virtual void ShowNow(const TRect& area) = 0;

private:
    TPaintCache cache_;
};
