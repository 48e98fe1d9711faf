// SPDX-License-Identifier: MIT
#pragma once
// Colour steps between two colours and the gradient fills of the widget faces.
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

// Draws the gradient of `style` from `from` to `to` into an off-screen bitmap of r's size and
// copies it into r in one draw; nothing for an empty r.
void DrawGradient(TCanvas& canvas, const TRect& r, TColor from, TColor to, TGradientStyle style);
