// SPDX-License-Identifier: MIT
#include "widgets/Canvas.h"

#include <climits>
#include <cmath>

void FillRect(QPainter& p, const TRect& r, const QColor& c) {
    if (!r.IsEmpty()) p.fillRect(r.Pixels(), c);
}

void SetFigurePen(QPainter& p, const QColor& pen, const QColor& brush) {
    p.setRenderHint(QPainter::Antialiasing, false);
    QPen qpen(pen);
    qpen.setWidth(1);
    qpen.setCapStyle(Qt::FlatCap);
    qpen.setJoinStyle(Qt::MiterJoin);
    p.setPen(qpen);
    p.setBrush(brush);
}

QRect FigureRect(const TRect& r) {
    return QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1);
}

void FrameRing(QPainter& p, TRect& r, const QColor& top, const QColor& bottom) {
    FillRect(p, {r.Left, r.Top, r.Right - 1, r.Top + 1}, top);
    FillRect(p, {r.Left, r.Top, r.Left + 1, r.Bottom - 1}, top);
    FillRect(p, {r.Right - 1, r.Top, r.Right, r.Bottom}, bottom);
    FillRect(p, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, bottom);
    r.Inflate(-1);
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
