// SPDX-License-Identifier: MIT
#include "widgets/AbColBitBtn.h"

#include <algorithm>

#include "widgets/AlignedText.h"

TAbColBitBtn::TAbColBitBtn(TOwner* owner) : TAbBinGControl(owner) {
    SetSize(65, 33);
    TFont bold = Font();
    bold.Bold = true;
    SetFont(bold);
    grad_.SetColorFrom(0xF0F0F0);
    grad_.SetColorTo(0x696969);
    grad_.SetVisible(true);
    bevel_.SetWidth(4);
    // Bound for every button, not only those read from a stored form: otherwise a gradient or
    // bevel changed at run time would show only after some unrelated full repaint.
    grad_.SetOnChange([this](TAbPersistent*) { SettingsChanged(); });
    bevel_.SetOnChange([this](TAbPersistent*) { SettingsChanged(); });
    SetMode(mButton);
}

void TAbColBitBtn::SetCheckedOptions(TCheckedOptions v) {
    checkedOptions_ = v;
    DrawState();
}

void TAbColBitBtn::SetGlyph(const TPixels& v) {
    glyph_ = v;
    if (glyph_.IsEmpty())
        numGlyph_ = 1;
    else
        glyphTransparent_ = glyph_.At(0, glyph_.Height - 1);
    DrawState();
}

void TAbColBitBtn::SetNumGlyph(int v) {
    if (v >= 1) Apply(numGlyph_, v);
}

void TAbColBitBtn::SetTransparent(bool v) {
    if (v == transparent_) return;
    transparent_ = v;
    Invalidate();
}

void TAbColBitBtn::SettingsChanged() {
    Invalidate();
}

void TAbColBitBtn::FlashPhase(bool on) {
    phase_ = on;
    DrawState();
}

void TAbColBitBtn::MouseEnter() {
    if (flat_ && !mouseInside_ && Enabled() && !MouseCaptured()) {
        mouseInside_ = true;
        DrawState();
    }
}

void TAbColBitBtn::MouseLeave() {
    if (flat_ && mouseInside_ && Enabled()) {
        mouseInside_ = false;
        DrawState();
    }
}

void TAbColBitBtn::Paint(TCanvas& canvas) {
    TRect face = ClientRect();
    face.Inflate(-bevel_.Width());
    if (!Visible()) return;
    // What is beneath the button (already painted) shows through wherever the face leaves it
    // uncovered.
    faceBuffer_ = canvas.CopyToBitmap(ClientRect());
    if (!transparent_ && grad_.Visible())
        DrawGradient(faceBuffer_->Canvas(), face, grad_.ColorFrom(), grad_.ColorTo(),
                     grad_.Style());
    ComposeState(canvas);
}

void TAbColBitBtn::DrawState() {
    if (Visible()) DrawNow(ClientRect(), [this](TCanvas& canvas) { ComposeState(canvas); });
}

void TAbColBitBtn::ComposeState(TCanvas& target) {
    const bool flashing = Checked() && Flashing();
    auto part = [&](TFlashOption fo, TCheckedOption co) {
        if (flashing && flashOptions_.Contains(fo)) return phase_;
        return checkedOptions_.Contains(co) && Checked();
    };
    ComposeFace(target, part(foGlyph, coGlyph), part(foText, coText), part(foTextCol, coTextCol),
                part(foBtnCol, coBtnCol));
}

void TAbColBitBtn::ComposeFace(TCanvas& target, bool glyphOn, bool textOn, bool textColOn,
                               bool faceColOn) {
    // Before the first paint, or after a resize, there is no face to compose over.
    if (!faceBuffer_ || faceBuffer_->Width() != Width() || faceBuffer_->Height() != Height())
        return;
    const TSize cell =
        glyph_.IsEmpty() ? TSize{0, 0} : TSize{glyph_.Width / numGlyph_, glyph_.Height};
    const std::unique_ptr<TBitmap> work = faceBuffer_->Canvas().CopyToBitmap(ClientRect());
    TCanvas& f = work->Canvas();

    const bool sunkenLook = Pressed() || (Checked() && checkedOptions_.Contains(coBevel));
    const int down = sunkenLook ? offsetDown_ : 0;
    const TColor face = !Enabled() ? colorDisabled_ : faceColOn ? colorOn_ : colorOff_;

    TRect c = ClientRect();
    const bool noFace = transparent_ || grad_.Visible();
    if ((beveled_ && !flat_) || (flat_ && mouseInside_)) {
        const bool raised =
            checkedOptions_.Contains(coBevel) ? !Checked() && !Pressed() : !Pressed();
        bevel_.DrawBevel(f, c, face, !noFace, raised);
    } else if (!noFace) {
        SetFigurePen(f, face, face);
        f.Rectangle(c.Left, c.Top, c.Right, c.Bottom);
    }

    f.SetFont(Font());
    const TSize on = f.TextExtent(textOn_), off = f.TextExtent(textOff_);
    const int tw = std::max(on.cx, off.cx);
    const int th = RoundHalfEven(on.cy * 0.85L);
    const TButtonLayout at = LayoutButtonContent(
        c, {cell, tw, th, spacing_, posH_, posV_, posGlyph_, {offsetX_ + down, offsetY_ + down}});

    TColor textColour = textColOn ? textColOn_ : textColOff_;
    if (!Enabled()) textColour = textColDisabled_;
    const std::string& text = textOn ? textOn_ : (!textOff_.empty() ? textOff_ : textOn_);
    f.SetBrush(face, bsClear);
    DrawText3D(f, at.text.X, at.text.Y, text3D_, at.anchor, text, bevel_.HighlightColTo(),
               bevel_.ShadowColTo(), textColour);

    if (cell.cx >= 1) {
        int index = 0;
        if (numGlyph_ > 1 && !Enabled())
            index = 1;
        else if (numGlyph_ >= 3 && glyphOn)
            index = 2;
        f.DrawTransparent(at.glyph.X, at.glyph.Y, glyph_,
                          {index * cell.cx, 0, index * cell.cx + cell.cx, cell.cy},
                          glyphTransparent_);
    }
    if (Focused()) {
        // The desktop's dotted focus frame, just inside the bevel.
        const int inset = bevel_.Width() + 1;
        f.DrawFocusRect({inset, inset, Width() - inset, Height() - inset});
    }
    target.Draw(0, 0, *work);
}
