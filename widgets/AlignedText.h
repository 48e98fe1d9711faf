// SPDX-License-Identifier: MIT
#pragma once
// Text placed by one of nine anchor points, and engraved (3-D) text.
#include <QPainter>
#include <QSize>
#include <QString>

#include "widgets/Colors.h"

// Where the anchor point lies on the text: its top-left corner goes to the point minus the
// offsets these imply.
enum TTextAnchor {
    taTopLeft,
    taTopCenter,
    taTopRight,
    taMiddleLeft,
    taCenter,
    taMiddleRight,
    taBottomLeft,
    taBottomCenter,
    taBottomRight,
};

// Width (advance) and height (ascent + descent) of text in the painter's font.
QSize TextExtent(const QPainter& canvas, const QString& text);

// Writes text with the painter's font, pen colour and background mode; an anchor outside the
// nine kinds is taken as top-left.
void DrawAlignedText(QPainter& canvas, int x, int y, int kind, const QString& text);

// With is3D, a highlight copy one pixel below-right and a shadow copy one pixel above-left,
// then the text itself in `colour`.
void DrawText3D(QPainter& canvas, int x, int y, bool is3D, int kind, const QString& text,
                TColor highlight, TColor shadow, TColor colour);
