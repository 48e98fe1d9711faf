// SPDX-License-Identifier: MIT
#include "widgets/LedLamp.h"

void TLED::DrawLamp(TCanvas& canvas, bool lit) const {
    const TRect& r = lampRect_;
    if (r.IsEmpty()) return;
    SetFigurePen(canvas, clBtnShadow, lit ? colorOn_ : colorOff_);
    const int w = r.Width(), hw = w / 2, hh = r.Height() / 2;
    const int L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
    switch (shape_) {
        case sRound: {
            canvas.Ellipse(L, T, R, B);
            // The glint: the upper-left quarter of a smaller concentric circle.
            TRect glint = r;
            glint.Inflate(-(w / 5));
            if (glint.IsEmpty()) break;
            canvas.SetPen(clBtnHighlight, w / 8);
            canvas.Arc(glint.Left, glint.Top, glint.Right, glint.Bottom, L + hw, T, L, T + hh);
            break;
        }
        case sArrowLeft:
            canvas.Polygon({{L, T + hh}, {R - 1, T}, {R - 1, B - 1}});
            break;
        case sArrowRight:
            canvas.Polygon({{L, T}, {R - 1, T + hh}, {L, B - 1}});
            break;
        case sArrowUp:
            canvas.Polygon({{L + hw, T}, {R - 1, B - 1}, {L, B - 1}});
            break;
        case sArrowDown:
            canvas.Polygon({{L, T}, {R - 1, T}, {L + hw, B - 1}});
            break;
        case sRectangle:
            // Corners rounded by a 1 by 1 ellipse are square.
            canvas.Rectangle(L, T, R, B);
            break;
    }
}
