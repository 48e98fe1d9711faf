// SPDX-License-Identifier: MIT
#pragma once
// Pixel-exact drawing helpers on QPainter. Rectangles here follow the desktop's convention that
// the right and bottom edges are exclusive, which the drawing arithmetic of the widgets relies on.
#include <QPainter>
#include <QRect>

#include "widgets/Colors.h"

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    // The pixels the rectangle covers, as a QRect (empty when the rectangle is).
    QRect Pixels() const { return IsEmpty() ? QRect() : QRect(Left, Top, Width(), Height()); }
    void Inflate(int d) {
        Left -= d;
        Top -= d;
        Right += d;
        Bottom += d;
    }
    friend bool operator==(const TRect&, const TRect&) = default;
};

inline TRect RectOf(const QRect& r) {
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

// Fills the pixels of r with colour c; nothing for an empty r.
void FillRect(QPainter& p, const TRect& r, const QColor& c);

// The painter set up for an outlined figure: a 1-pixel pen of `pen`, a solid brush of `brush`,
// no smoothing.
void SetFigurePen(QPainter& p, const QColor& pen, const QColor& brush);

// The QRect that makes QPainter's drawRect/drawEllipse with a 1-pixel pen cover exactly the
// pixels of the figure (L, T, R, B): the outline runs through columns L and R - 1.
QRect FigureRect(const TRect& r);

// One ring of a raised or sunken frame: the top row (L .. R-2) and left column (T .. B-2) in
// `top`, the right column (T .. B-1) and bottom row (L .. R-1) in `bottom`; then r shrinks by 1.
void FrameRing(QPainter& p, TRect& r, const QColor& top, const QColor& bottom);

// Rounds to the nearest integer, halves to even, as the desktop's floating-point unit does.
// Values past the int range are pinned to it.
int RoundHalfEven(long double v);

// Truncates toward zero; values past the int range are pinned to it.
int TruncToInt(long double v);
