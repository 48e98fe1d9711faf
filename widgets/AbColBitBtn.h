// SPDX-License-Identifier: MIT
#pragma once
// A push button with two looks, off and on: texts, text and face colours, glyph cell and bevel
// per state, a gradient face and engraved text; the parts chosen can flash while checked.
// The gradient is drawn only by a full paint; state changes recompose over it at once.
#include <cstdint>
#include <initializer_list>

#include <QImage>
#include <QString>

#include "widgets/AbBinGControl.h"
#include "widgets/AbBtnBevel.h"
#include "widgets/AbGradSettings.h"
#include "widgets/ButtonLayout.h"

template <typename E>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> items) {
        for (E e : items)
            bits_ |= 1u << static_cast<int>(e);
    }
    constexpr bool Contains(E e) const { return (bits_ >> static_cast<int>(e) & 1u) != 0; }
    friend constexpr bool operator==(TSet, TSet) = default;

private:
    uint32_t bits_ = 0;
};

enum TFlashOption { foGlyph, foText, foTextCol, foBtnCol };
enum TCheckedOption { coGlyph, coText, coTextCol, coBtnCol, coBevel };
using TFlashOptions = TSet<TFlashOption>;
using TCheckedOptions = TSet<TCheckedOption>;

class TAbColBitBtn : public TAbBinGControl {
    Q_OBJECT
public:
    explicit TAbColBitBtn(QWidget* owner);

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
    const QImage& Glyph() const { return glyph_; }
    int NumGlyph() const { return numGlyph_; }
    bool Beveled() const { return beveled_; }
    bool Transparent() const { return transparent_; }
    bool Flat() const { return flat_; }
    int Spacing() const { return spacing_; }
    const QString& TextOff() const { return textOff_; }
    const QString& TextOn() const { return textOn_; }
    TColor TextColOn() const { return textColOn_; }
    TColor TextColOff() const { return textColOff_; }
    TColor TextColDisabled() const { return textColDisabled_; }
    bool Text3D() const { return text3D_; }
    // The button's own enabled flag; Qt's stays set. A disabled button takes no mouse input.
    bool Enabled() const { return enabled_; }
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
    void SetGlyph(const QImage& v);
    // Values below 1 are ignored.
    void SetNumGlyph(int v);
    void SetBeveled(bool v) { Apply(beveled_, v); }
    void SetTransparent(bool v);
    void SetFlat(bool v) { Apply(flat_, v); }
    void SetSpacing(int v) { Apply(spacing_, v); }
    void SetTextOff(const QString& v) { Apply(textOff_, v); }
    void SetTextOn(const QString& v) { Apply(textOn_, v); }
    void SetTextColOn(TColor v) { Apply(textColOn_, v); }
    void SetTextColOff(TColor v) { Apply(textColOff_, v); }
    void SetTextColDisabled(TColor v) { Apply(textColDisabled_, v); }
    void SetText3D(bool v) { Apply(text3D_, v); }
    void SetEnabled(bool v) { Apply(enabled_, v); }

protected:
    void SettingsChanged() override;
    void DrawState() override;
    void FlashPhase(bool on) override;
    bool AcceptsMouse() const override { return enabled_; }
    void Paint() override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    template <typename T>
    void Apply(T& field, const T& value) {
        if (field == value) return;
        field = value;
        DrawState();
    }
    void ComposeFace(bool glyphOn, bool textOn, bool textColOn, bool faceColOn);

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
    QImage glyph_;
    QImage glyphMasked_;  // glyph_ with its transparent colour cleared
    int numGlyph_ = 1;
    bool beveled_ = true;
    bool transparent_ = false;
    bool flat_ = false;
    int spacing_ = 4;
    QString textOff_;
    QString textOn_;
    TColor textColOn_ = clLime;
    TColor textColOff_ = clBlack;
    TColor textColDisabled_ = clBtnShadow;
    bool text3D_ = true;
    bool enabled_ = true;

    bool phase_ = false;
    bool mouseInside_ = false;
    QImage faceBuffer_;  // background and gradient of the last full paint
};
