// SPDX-License-Identifier: MIT
#pragma once
// The LED indicator: a lamp beside a caption, lit while checked, alternating while checked and
// flashing. A change of Checked redraws only the lamp.
#include <string>

#include "widgets/AbBinGControl.h"
#include "widgets/LedLamp.h"

enum TLEDPos { lpLeft, lpRight, lpTop, lpBottom };

class TAbLED : public TAbBinGControl {
public:
    explicit TAbLED(TOwner* owner);

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& value);
    // The lamp's settings; every change repaints the control.
    TLED& LED() { return led_; }
    const TLED& LED() const { return led_; }
    TLEDPos LED_Position() const { return position_; }
    void SetLED_Position(TLEDPos value);
    int Spacing() const { return spacing_; }
    void SetSpacing(int value);

    // Where the last paint put the lamp (empty before the first paint).
    const TRect& LampRect() const { return led_.LampRect(); }

    void Paint(TCanvas& canvas) override;

protected:
    void SettingsChanged() override;
    void DrawState() override;
    void FlashPhase(bool on) override;

private:
    void ShowLamp(bool lit);

    std::string caption_;
    TLED led_;
    TLEDPos position_ = lpLeft;
    int spacing_ = 5;
};
