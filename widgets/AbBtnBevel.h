// SPDX-License-Identifier: MIT
#pragma once
// Graded bevel rings around a face, and the colours of engraved text.
#include "widgets/AbPersistent.h"
#include "widgets/Canvas.h"
#include "widgets/Colors.h"

class TAbBtnBevel : public TAbPersistent {
public:
    TColor ShadowColFrom() const { return shadowColFrom_; }
    TColor ShadowColTo() const { return shadowColTo_; }
    TColor HighlightColFrom() const { return highlightColFrom_; }
    TColor HighlightColTo() const { return highlightColTo_; }
    int Width() const { return width_; }

    void SetShadowColFrom(TColor v) { Store(shadowColFrom_, v); }
    void SetShadowColTo(TColor v) { Store(shadowColTo_, v); }
    void SetHighlightColFrom(TColor v) { Store(highlightColFrom_, v); }
    void SetHighlightColTo(TColor v) { Store(highlightColTo_, v); }
    // Negative widths are ignored.
    void SetWidth(int v) {
        if (v >= 0) Store(width_, v);
    }

    void Assign(const TAbBtnBevel& source);

    // Optionally fills r with `face`, then draws Width() rings on it, outermost first, and
    // leaves r shrunk by Width() on every side. Raised rings are light at the top-left.
    void DrawBevel(TCanvas& canvas, TRect& r, TColor face, bool fill, bool raised) const;

private:
    TColor shadowColFrom_ = clBlack;
    TColor shadowColTo_ = clBtnShadow;
    TColor highlightColFrom_ = 0xD2D2D2;
    TColor highlightColTo_ = clBtnHighlight;
    int width_ = 2;
};
