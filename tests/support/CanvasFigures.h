// SPDX-License-Identifier: MIT
#pragma once
// What the widget suites look for in a picture drawn on TPixelCanvas, and the figures every
// desktop's canvas must draw as it does.
#include "widgets/Canvas.h"

// The bounding box of the pixels of one colour within `area` (the whole picture when empty);
// empty when there are none.
TRect InkOf(const TPixels& pixels, TColor colour, TRect area = {});
// How many pixels of `area` have the colour.
int CountOf(const TPixels& pixels, const TRect& area, TColor colour);
// Bevel, gradient, rectangle, lines, a pixel and bitmaps drawn with each raster operation and a
// clip, on an 80 x 40 canvas: what a desktop's canvas must draw exactly as TPixelCanvas does.
void DrawCanvasFigures(TCanvas& c);

inline TColor Grey(int level) {
    return RGBColor(level, level, level);
}
