// SPDX-License-Identifier: MIT
#pragma once
// A push button with two looks, off and on: texts, text and face colours, glyph cell and bevel
// per state, a gradient face and engraved text; the parts chosen can flash while checked.
// The gradient is drawn only by a full paint; state changes recompose over it at once.
#include <memory>
#include <string>

#include "widgets/AbBinGControl.h"
#include "widgets/AbBtnBevel.h"
#include "widgets/AbGradSettings.h"
#include "widgets/ButtonLayout.h"
#include "widgets/Set.h"

enum TFlashOption { foGlyph, foText, foTextCol, foBtnCol };
enum TCheckedOption { coGlyph, coText, coTextCol, coBtnCol, coBevel };
using TFlashOptions = TSet<TFlashOption>;
using TCheckedOptions = TSet<TCheckedOption>;

class TAbColBitBtn : public TAbBinGControl {
public:
    explicit TAbColBitBtn(TOwner* owner);

    TPosH PosHorizontal() const { return posH_; }
    TPosV PosVertical() const { return posV_; }
    TPos PosGlyph() const { return posGlyph_; }
    // Changes of these two repaint the whole button.
    TAbGradSettings& GradBtnFace() { return grad_; }
    TAbBtnBevel& ButtonBevel() { return bevel_; }
    TFlashOptions FlashOptions() const { return flashOptions_; }
    TCheckedOptions CheckedOptions() const { return checkedOptions_; }
    TColor ColorOff() const { return colorOff_; }
    TColor ColorOn() const { return colorOn_; }
    TColor ColorDisabled() const { return colorDisabled_; }
    int OffsetX() const { return offsetX_; }
    int OffsetY() const { return offsetY_; }
    int OffsetDown() const { return offsetDown_; }
    const TPixels& Glyph() const { return glyph_; }
    int NumGlyph() const { return numGlyph_; }
    bool Beveled() const { return beveled_; }
    bool Transparent() const { return transparent_; }
    bool Flat() const { return flat_; }
    int Spacing() const { return spacing_; }
    const std::string& TextOff() const { return textOff_; }
    const std::string& TextOn() const { return textOn_; }
    TColor TextColOn() const { return textColOn_; }
    TColor TextColOff() const { return textColOff_; }
    TColor TextColDisabled() const { return textColDisabled_; }
    bool Text3D() const { return text3D_; }
    bool MouseInside() const { return mouseInside_; }

    void SetPosHorizontal(TPosH v) { Apply(posH_, v); }
    void SetPosVertical(TPosV v) { Apply(posV_, v); }
    void SetPosGlyph(TPos v) { Apply(posGlyph_, v); }
    void SetFlashOptions(TFlashOptions v) { flashOptions_ = v; }
    void SetCheckedOptions(TCheckedOptions v);
    void SetColorOff(TColor v) { Apply(colorOff_, v); }
    void SetColorOn(TColor v) { Apply(colorOn_, v); }
    void SetColorDisabled(TColor v) { Apply(colorDisabled_, v); }
    void SetOffsetX(int v) { Apply(offsetX_, v); }
    void SetOffsetY(int v) { Apply(offsetY_, v); }
    void SetOffsetDown(int v) { Apply(offsetDown_, v); }
    // A strip of NumGlyph cells; the colour of its bottom-left pixel is left out when drawn.
    void SetGlyph(const TPixels& v);
    // Values below 1 are ignored.
    void SetNumGlyph(int v);
    void SetBeveled(bool v) { Apply(beveled_, v); }
    void SetTransparent(bool v);
    void SetFlat(bool v) { Apply(flat_, v); }
    void SetSpacing(int v) { Apply(spacing_, v); }
    void SetTextOff(const std::string& v) { Apply(textOff_, v); }
    void SetTextOn(const std::string& v) { Apply(textOn_, v); }
    void SetTextColOn(TColor v) { Apply(textColOn_, v); }
    void SetTextColOff(TColor v) { Apply(textColOff_, v); }
    void SetTextColDisabled(TColor v) { Apply(textColDisabled_, v); }
    void SetText3D(bool v) { Apply(text3D_, v); }
    // The pointer entered or left the control (the bevel of a flat button follows it).
    void MouseEnter() override;
    void MouseLeave() override;

    void Paint(TCanvas& canvas) override;

protected:
    void SettingsChanged() override;
    void DrawState() override;
    // Disabled, it shows ColorDisabled, TextColDisabled and the glyph's second cell.
    void EnabledChanged() override { DrawState(); }
    void FlashPhase(bool on) override;

private:
    template <typename T>
    void Apply(T& field, const T& value) {
        if (field == value) return;
        field = value;
        DrawState();
    }
    // The face of the current state over the face buffer, drawn onto `target`.
    void ComposeState(TCanvas& target);
    void ComposeFace(TCanvas& target, bool glyphOn, bool textOn, bool textColOn, bool faceColOn);

    TPosH posH_ = phCenter;
    TPosV posV_ = pvCenter;
    TPos posGlyph_ = pLeft;
    TAbGradSettings grad_;
    TAbBtnBevel bevel_;
    TFlashOptions flashOptions_{foGlyph, foText, foTextCol, foBtnCol};
    TCheckedOptions checkedOptions_{coGlyph, coText, coTextCol, coBtnCol, coBevel};
    TColor colorOff_ = clBtnFace;
    TColor colorOn_ = clBtnFace;
    TColor colorDisabled_ = 0xA0A0A0;
    int offsetX_ = 0;
    int offsetY_ = 0;
    int offsetDown_ = 1;
    TPixels glyph_;
    TColor glyphTransparent_ = clBlack;  // the colour of the glyph's bottom-left pixel
    int numGlyph_ = 1;
    bool beveled_ = true;
    bool transparent_ = false;
    bool flat_ = false;
    int spacing_ = 4;
    std::string textOff_;
    std::string textOn_;
    TColor textColOn_ = clLime;
    TColor textColOff_ = clBlack;
    TColor textColDisabled_ = clBtnShadow;
    bool text3D_ = true;

    bool phase_ = false;
    bool mouseInside_ = false;
    std::unique_ptr<TBitmap> faceBuffer_;  // background and gradient of the last full paint
};
