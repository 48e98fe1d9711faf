// SPDX-License-Identifier: MIT
#pragma once
// Text placed by one of nine anchor points, and engraved (3-D) text.
#include <string>

#include "widgets/Canvas.h"

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

// Writes text with the canvas's font and brush; an anchor outside the nine kinds is taken as
// top-left.
void DrawAlignedText(TCanvas& canvas, int x, int y, int kind, const std::string& text);

// With is3D, a highlight copy one pixel below-right and a shadow copy one pixel above-left,
// then the text itself in `colour`.
void DrawText3D(TCanvas& canvas, int x, int y, bool is3D, int kind, const std::string& text,
                TColor highlight, TColor shadow, TColor colour);
