// SPDX-License-Identifier: MIT
#include "widgets/AbBtnBevel.h"

#include "widgets/Gradient.h"

void TAbBtnBevel::Assign(const TAbBtnBevel& source) {
    shadowColFrom_ = source.shadowColFrom_;
    shadowColTo_ = source.shadowColTo_;
    highlightColFrom_ = source.highlightColFrom_;
    highlightColTo_ = source.highlightColTo_;
    width_ = source.width_;
    Changed();
}

void TAbBtnBevel::DrawBevel(TCanvas& canvas, TRect& r, TColor face, bool fill, bool raised) const {
    if (fill) {
        SetFigurePen(canvas, face, face);
        canvas.Rectangle(r.Left, r.Top, r.Right, r.Bottom);
    }
    for (int i = 1; i <= width_; ++i) {
        const TColor top = raised ? GradeColor(highlightColFrom_, highlightColTo_, width_, i)
                                  : GradeColor(shadowColTo_, shadowColFrom_, width_, i);
        const TColor bottom = raised ? GradeColor(shadowColFrom_, shadowColTo_, width_, i)
                                     : GradeColor(highlightColTo_, highlightColFrom_, width_, i);
        FrameRing(canvas, r, top, bottom);
    }
}
