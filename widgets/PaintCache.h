// SPDX-License-Identifier: MIT
#pragma once
// When a desktop's host of a control paints the whole control, and when it may draw a state
// straight onto the off-screen surface it keeps of it. The host keeps the surface and shows it;
// this keeps the rules, so that every desktop repaints alike.
//
//     void Host::Invalidate() { cache_.MarkStale(); ScheduleRepaint(); }
//     void Host::Paint() { cache_.Refresh(SurfaceSize(), ClientSize(), drop, paintAnew); Show(); }
#include <functional>

#include "widgets/Canvas.h"

class TPaintCache {
public:
    // The control's whole look changed: the next paint paints all of it anew.
    void MarkStale() { stale_ = true; }
    bool Stale() const { return stale_; }
    // A full paint is under way: it draws the current state, so a repaint asked meanwhile waits
    // for nothing and a state drawn now would be drawn twice.
    bool Painting() const { return painting_; }
    // How many times the whole surface was painted; the state draws do not count.
    int FullPaints() const { return fullPaints_; }

    // Whether a repaint asked for now may run at once.
    bool MayRepaintNow() const { return !painting_; }
    // Whether a state may be drawn straight onto a surface of size `surface`: only onto an
    // up-to-date one of the control's size, outside a paint. A stale one goes at the next paint,
    // which is already asked for and shows the state with the rest.
    bool MayDrawNow(TSize surface, TSize control) const;
    // Before the surface is shown: when it is stale or not of the control's size, `drop` lets it
    // go and, for a control of some size, `paintAnew` makes one of that size and paints the whole
    // control onto it.
    void Refresh(TSize surface, TSize control, const std::function<void()>& drop,
                 const std::function<void()>& paintAnew);

private:
    bool stale_ = true;
    bool painting_ = false;
    int fullPaints_ = 0;
};
