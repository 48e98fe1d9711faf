// SPDX-License-Identifier: MIT
#pragma once
// The gradient face of a control.
#include "widgets/AbPersistent.h"
#include "widgets/Colors.h"
#include "widgets/Gradient.h"

class TAbGradSettings : public TAbPersistent {
public:
    TColor ColorFrom() const { return colorFrom_; }
    TColor ColorTo() const { return colorTo_; }
    bool Visible() const { return visible_; }
    TGradientStyle Style() const { return style_; }

    void SetColorFrom(TColor v) { Store(colorFrom_, v); }
    void SetColorTo(TColor v) { Store(colorTo_, v); }
    void SetVisible(bool v) { Store(visible_, v); }
    void SetStyle(TGradientStyle v) { Store(style_, v); }

    // Copies every value and tells this object's owner.
    void Assign(const TAbGradSettings& source);

private:
    TColor colorFrom_ = 0xE2E2E2;
    TColor colorTo_ = 0x8F8F8F;
    bool visible_ = false;
    TGradientStyle style_ = gsHorizontal1;
};
