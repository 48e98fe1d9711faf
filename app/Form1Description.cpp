// SPDX-License-Identifier: MIT
#include "app/Form1Description.h"

#include "base/Translation.h"
#include "widgets/DesktopStyle.h"
#include "words/RussianCatalogue.h"

void UseWindowLanguage() {
    UseCatalogue(RussianCatalogue());
}

std::string ApplicationTitleText() {
    return Tr("Loader of updated software into the TEVR-R7");
}

std::string Form1Caption() {
    return Tr("Software loader for the TEVR-R7 (version 1.0)");
}

std::string Label1Caption() {
    return Tr("File to load:");
}

std::string SpeedButton1Hint() {
    return Tr("Open file");
}

std::string OpenDialog1Title() {
    return Tr("File to load");
}

std::string OpenDialog1FilterName() {
    return Tr("TEVR-R7S update files");
}

void ConfigureAbLED1(TAbLED& led) {
    // TRANSLATORS: the LED beside it lights while the on-board computer answers.
    led.SetCaption(Tr("Board replies"));
    led.SetLED_Position(lpLeft);
    led.SetSpacing(5);
    led.SetMode(mIndicator);
    led.SetChecked(false);
    led.SetFlashing(false);
    led.SetFrequency(ff1Hz);
    led.SetStatusInt(0);
    led.SetStatusBit(0);
    led.SetGroupIndex(0);
}

void ConfigureAbColBitBtn1(TAbColBitBtn& b) {
    b.SetMode(mSwitch);
    b.SetTextOff(Tr("Start BootLoader"));
    b.SetTextOn(Tr("BootLoader started"));
    b.SetTextColOff(clBlack);
    b.SetTextColOn(clLime);
    b.SetTextColDisabled(clBtnShadow);
    b.SetText3D(true);
    b.SetFont(DesktopFont(true));  // its own, not the window's
    b.GradBtnFace().SetVisible(true);
    b.GradBtnFace().SetStyle(gsHorizontal1);
    b.GradBtnFace().SetColorFrom(0xF0F0F0);
    b.GradBtnFace().SetColorTo(0x696969);
    b.ButtonBevel().SetWidth(4);
    b.SetBeveled(true);
    b.SetFlat(false);
    b.SetTransparent(false);
    b.SetColorOn(clBtnFace);
    b.SetColorOff(clBtnFace);
    b.SetColorDisabled(0xA0A0A0);
    b.SetFlashOptions({foTextCol, foGlyph, foText, foBtnCol});
    b.SetCheckedOptions({coText, coBtnCol, coTextCol, coGlyph, coBevel});
    b.SetPosHorizontal(phCenter);
    b.SetPosVertical(pvCenter);
    b.SetPosGlyph(pLeft);
    b.SetNumGlyph(1);
    b.SetSpacing(4);
    b.SetOffsetX(0);
    b.SetOffsetY(0);
    b.SetOffsetDown(1);
    b.SetChecked(false);
    b.SetFlashing(false);
    b.SetFrequency(ff1Hz);
    b.SetStatusInt(0);
    b.SetStatusBit(0);
    b.SetGroupIndex(0);
}
