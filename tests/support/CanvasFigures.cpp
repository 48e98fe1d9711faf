// SPDX-License-Identifier: MIT
#include "support/CanvasFigures.h"

#include <algorithm>
#include <climits>
#include <memory>

#include "widgets/AbBtnBevel.h"
#include "widgets/Gradient.h"

TRect InkOf(const TPixels& pixels, TColor colour, TRect area) {
    if (area.IsEmpty()) area = {0, 0, pixels.Width, pixels.Height};
    TRect box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int y = area.Top; y < area.Bottom; ++y)
        for (int x = area.Left; x < area.Right; ++x)
            if (pixels.At(x, y) == colour) {
                box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
                       std::max(box.Bottom, y + 1)};
            }
    return box.IsEmpty() ? TRect{} : box;
}

int CountOf(const TPixels& pixels, const TRect& area, TColor colour) {
    int n = 0;
    for (int y = area.Top; y < area.Bottom; ++y)
        for (int x = area.Left; x < area.Right; ++x)
            n += pixels.At(x, y) == colour;
    return n;
}

void DrawCanvasFigures(TCanvas& c) {
    TAbBtnBevel bevel;
    bevel.SetWidth(4);
    TRect r{0, 0, 60, 33};
    bevel.DrawBevel(c, r, clBtnFace, true, false);
    DrawGradient(c, r, 0xF0F0F0, 0x696969, gsHorizontal1);
    SetFigurePen(c, clRed, clLime);
    c.Rectangle(62, 2, 70, 9);
    c.SetPen(clBlue, 1);
    for (const TPoint to : {TPoint{79, 2}, TPoint{75, 30}, TPoint{62, 12}, TPoint{71, 20}}) {
        c.MoveTo(70, 15);
        c.LineTo(to.X, to.Y);
    }
    c.SetPixel(0, 34, clYellow);
    const std::unique_ptr<TBitmap> b = c.NewBitmap(20, 10);
    FillRect(b->Canvas(), {2, 2, 18, 8}, clWhite);
    c.Draw(5, 30, *b, cmSrcInvert);
    c.Draw(40, 30, *b, cmBlackness);
    const std::unique_ptr<TBitmap> copy = c.CopyToBitmap({0, 0, 20, 20});
    c.SetClipRect({50, 0, 80, 40});
    c.Draw(45, 20, *copy, cmSrcCopy);
}
