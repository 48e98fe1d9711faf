// SPDX-License-Identifier: MIT
#include "widgets/AbLED.h"

#include <algorithm>

#include "widgets/AlignedText.h"

TAbLED::TAbLED(TOwner* owner) : TAbBinGControl(owner) {
    SetSize(73, 33);
    led_.SetOnChange([this](TAbPersistent*) { SettingsChanged(); });
}

void TAbLED::SetCaption(const std::string& value) {
    if (value == caption_) return;
    caption_ = value;
    SettingsChanged();
}

void TAbLED::SetLED_Position(TLEDPos value) {
    if (value == position_) return;
    position_ = value;
    SettingsChanged();
}

void TAbLED::SetSpacing(int value) {
    if (value == spacing_) return;
    spacing_ = value;
    SettingsChanged();
}

void TAbLED::SettingsChanged() {
    Repaint();
}

void TAbLED::DrawState() {
    if (Visible()) ShowLamp(Checked());
}

void TAbLED::FlashPhase(bool on) {
    if (Visible()) ShowLamp(on);
}

void TAbLED::ShowLamp(bool lit) {
    const TRect& r = led_.LampRect();
    if (r.IsEmpty()) return;
    DrawNow(r, [&](TCanvas& canvas) { led_.DrawLamp(canvas, lit); });
}

void TAbLED::Paint(TCanvas& canvas) {
    canvas.SetFont(Font());
    int lw = led_.Width(), lh = led_.Height();
    if (led_.Shape() == sRound) lw = lh = std::max(lw, lh);
    const int w = Width(), h = Height();
    TRect lamp;
    int x = 0, y = 0, kind = taMiddleLeft;
    switch (position_) {
        case lpLeft:
            lamp = {0, h / 2 - lh / 2, lw, h / 2 - lh / 2 + lh};
            x = lw + spacing_, y = h / 2, kind = taMiddleLeft;
            break;
        case lpRight:
            lamp = {w - lw, h / 2 - lh / 2, w, h / 2 - lh / 2 + lh};
            x = w - lw - spacing_, y = h / 2, kind = taMiddleRight;
            break;
        case lpTop:
            lamp = {w / 2 - lw / 2, 0, w / 2 - lw / 2 + lw, lh};
            x = w / 2, y = lh + spacing_, kind = taTopCenter;
            break;
        case lpBottom:
            lamp = {w / 2 - lw / 2, h - lh, w / 2 - lw / 2 + lw, h};
            x = w / 2, y = h - lh - spacing_, kind = taBottomCenter;
            break;
    }
    led_.SetLampRect(lamp);
    canvas.SetBrush(clBtnFace, bsClear);
    canvas.SetFontColor(Font().Color);
    DrawAlignedText(canvas, x, y, kind, caption_);
    led_.DrawLamp(canvas, Checked());
}
