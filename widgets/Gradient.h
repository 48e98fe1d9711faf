// SPDX-License-Identifier: MIT
#pragma once
// Colour steps between two colours and the gradient fills of the widget faces.
#include <QImage>
#include <QPainter>

#include "widgets/Canvas.h"
#include "widgets/Colors.h"

enum TGradientStyle {
    gsHorizontal1,
    gsHorizontal2,
    gsHorizontal3,
    gsVertical1,
    gsVertical2,
    gsVertical3,
    gsElliptic1,
    gsElliptic2,
    gsElliptic3,
    gsRectangle,
    gsDiamond1,
    gsDiamond2,
    gsTopLeft,
    gsTopRight,
};

// Step `index` of `count` from `from` to `to` (index == count gives `to`), each channel rounded
// halves to even. Colours of the same RGB value give `from` itself, a system colour unresolved.
TColor GradeColor(TColor from, TColor to, int count, int index);

// The gradient of `style` from `from` to `to` as a w x h image (null for an empty size).
QImage GradientImage(int w, int h, TColor from, TColor to, TGradientStyle style);

// Draws GradientImage into r with one copy; nothing for an empty r.
void DrawGradient(QPainter& canvas, const TRect& r, TColor from, TColor to, TGradientStyle style);
