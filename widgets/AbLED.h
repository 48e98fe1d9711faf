// SPDX-License-Identifier: MIT
#pragma once
// The LED indicator: a lamp beside a caption, lit while checked, alternating while checked and
// flashing. A change of Checked redraws only the lamp.
#include <QString>

#include "widgets/AbBinGControl.h"
#include "widgets/LedLamp.h"

enum TLEDPos { lpLeft, lpRight, lpTop, lpBottom };

class TAbLED : public TAbBinGControl {
    Q_OBJECT
public:
    explicit TAbLED(QWidget* owner);

    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& value);
    // The lamp's settings; every change repaints the control.
    TLED& LED() { return led_; }
    const TLED& LED() const { return led_; }
    TLEDPos LED_Position() const { return position_; }
    void SetLED_Position(TLEDPos value);
    int Spacing() const { return spacing_; }
    void SetSpacing(int value);

    // Where the last paint put the lamp (empty before the first paint).
    const TRect& LampRect() const { return led_.LampRect(); }

protected:
    void SettingsChanged() override;
    void DrawState() override;
    void FlashPhase(bool on) override;
    void Paint() override;

private:
    void ShowLamp(bool lit);

    QString caption_;
    TLED led_;
    TLEDPos position_ = lpLeft;
    int spacing_ = 5;
};
