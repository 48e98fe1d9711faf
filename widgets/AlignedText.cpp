// SPDX-License-Identifier: MIT
#include "widgets/AlignedText.h"

void DrawAlignedText(TCanvas& canvas, int x, int y, int kind, const std::string& text) {
    if (kind < taTopLeft || kind > taBottomRight) kind = taTopLeft;
    const TSize e = canvas.TextExtent(text);
    const int column = kind % 3, line = kind / 3;
    const int left = column == 0 ? x : column == 1 ? x - e.cx / 2 : x - e.cx;
    const int top = line == 0 ? y : line == 1 ? y - e.cy / 2 : y - e.cy;
    canvas.TextOut(left, top, text);
}

void DrawText3D(TCanvas& canvas, int x, int y, bool is3D, int kind, const std::string& text,
                TColor highlight, TColor shadow, TColor colour) {
    if (is3D) {
        canvas.SetFontColor(highlight);
        DrawAlignedText(canvas, x + 1, y + 1, kind, text);
        canvas.SetFontColor(shadow);
        DrawAlignedText(canvas, x - 1, y - 1, kind, text);
    }
    canvas.SetFontColor(colour);
    DrawAlignedText(canvas, x, y, kind, text);
}
