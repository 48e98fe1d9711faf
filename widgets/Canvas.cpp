// SPDX-License-Identifier: MIT
#include "widgets/Canvas.h"

#include <climits>
#include <cmath>
#include <cstdlib>

void SetFigurePen(TCanvas& canvas, TColor pen, TColor brush) {
    canvas.SetPen(pen, 1);
    canvas.SetBrush(brush, bsSolid);
}

void FillRect(TCanvas& canvas, const TRect& r, TColor c) {
    canvas.SetBrush(c, bsSolid);
    canvas.FillRect(r);
}

void FrameRing(TCanvas& canvas, TRect& r, TColor top, TColor bottom) {
    FillRect(canvas, {r.Left, r.Top, r.Right - 1, r.Top + 1}, top);
    FillRect(canvas, {r.Left, r.Top, r.Left + 1, r.Bottom - 1}, top);
    FillRect(canvas, {r.Right - 1, r.Top, r.Right, r.Bottom}, bottom);
    FillRect(canvas, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, bottom);
    r.Inflate(-1);
}

std::vector<TPoint> LinePixels(TPoint from, TPoint to) {
    std::vector<TPoint> pixels;
    const int dx = std::abs(to.X - from.X), dy = -std::abs(to.Y - from.Y);
    const int sx = from.X < to.X ? 1 : -1, sy = from.Y < to.Y ? 1 : -1;
    int err = dx + dy;
    TPoint p = from;
    while (!(p == to)) {
        pixels.push_back(p);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            p.X += sx;
        }
        if (e2 <= dx) {
            err += dx;
            p.Y += sy;
        }
    }
    return pixels;
}

namespace {
int PinToInt(long double v) {
    if (std::isnan(v)) return 0;
    if (v >= static_cast<long double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<long double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(v);
}
}  // namespace

int RoundHalfEven(long double v) {
    if (std::isnan(v)) return 0;
    long double f = std::floor(v);
    const long double frac = v - f;
    if (frac > 0.5L || (frac == 0.5L && std::fmod(f, 2.0L) != 0)) f += 1;
    return PinToInt(f);
}

int TruncToInt(long double v) {
    return PinToInt(std::trunc(v));
}
