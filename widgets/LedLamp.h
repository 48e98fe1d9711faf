// SPDX-License-Identifier: MIT
#pragma once
// The lamp of the LED indicator: its shape, colours and size, and where the last paint put it.
#include "widgets/AbPersistent.h"
#include "widgets/Canvas.h"
#include "widgets/Colors.h"

enum TLEDShape { sRound, sArrowLeft, sArrowRight, sArrowUp, sArrowDown, sRectangle };

class TLED : public TAbPersistent {
public:
    static constexpr int kMinSize = 4;
    static constexpr int kMaxSize = 30;

    TLEDShape Shape() const { return shape_; }
    TColor ColorOn() const { return colorOn_; }
    TColor ColorOff() const { return colorOff_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    void SetShape(TLEDShape v) { Store(shape_, v); }
    void SetColorOn(TColor v) { Store(colorOn_, v); }
    void SetColorOff(TColor v) { Store(colorOff_, v); }
    // Sizes outside 4..30 are ignored.
    void SetWidth(int v) {
        if (v >= kMinSize && v <= kMaxSize) Store(width_, v);
    }
    void SetHeight(int v) {
        if (v >= kMinSize && v <= kMaxSize) Store(height_, v);
    }

    // Where the lamp goes; laid out by the control's paint. Empty before the first.
    const TRect& LampRect() const { return lampRect_; }
    void SetLampRect(const TRect& r) { lampRect_ = r; }

    // Draws the lamp into its rectangle, lit or dark, outlined in the button-shadow colour.
    void DrawLamp(TCanvas& canvas, bool lit) const;

private:
    TLEDShape shape_ = sRound;
    TColor colorOn_ = clLime;
    TColor colorOff_ = clBtnFace;
    int width_ = 13;
    int height_ = 13;
    TRect lampRect_;
};
