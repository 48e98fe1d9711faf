// SPDX-License-Identifier: MIT
#include "widgets/AbColBitBtn.h"

#include <algorithm>

#include <QEnterEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

#include "widgets/AlignedText.h"

TAbColBitBtn::TAbColBitBtn(QWidget* owner) : TAbBinGControl(owner) {
    resize(65, 33);
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
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

void TAbColBitBtn::SetGlyph(const QImage& v) {
    glyph_ = v.copy();
    glyphMasked_ = QImage();
    if (glyph_.height() <= 0) {
        numGlyph_ = 1;
    } else {
        glyphMasked_ = glyph_.convertToFormat(QImage::Format_ARGB32);
        const QRgb clear = glyphMasked_.pixel(0, glyphMasked_.height() - 1) | 0xFF000000u;
        for (int y = 0; y < glyphMasked_.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(glyphMasked_.scanLine(y));
            for (int x = 0; x < glyphMasked_.width(); ++x)
                if ((line[x] | 0xFF000000u) == clear) line[x] = 0;
        }
    }
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

void TAbColBitBtn::enterEvent(QEnterEvent* event) {
    if (flat_ && !mouseInside_ && enabled_ && !QWidget::mouseGrabber() &&
        QGuiApplication::mouseButtons() == Qt::NoButton) {
        mouseInside_ = true;
        DrawState();
    }
    TAbBinGControl::enterEvent(event);
}

void TAbColBitBtn::leaveEvent(QEvent* event) {
    if (flat_ && mouseInside_ && enabled_) {
        mouseInside_ = false;
        DrawState();
    }
    TAbBinGControl::leaveEvent(event);
}

void TAbColBitBtn::Paint() {
    TRect face{0, 0, width(), height()};
    face.Inflate(-bevel_.Width());
    if (Hidden()) return;
    // The surface starts transparent, so what lies beneath the button shows through wherever
    // the face leaves it uncovered, as on the screen.
    faceBuffer_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    faceBuffer_.fill(Qt::transparent);
    if (!transparent_ && grad_.Visible()) {
        QPainter p(&faceBuffer_);
        DrawGradient(p, face, grad_.ColorFrom(), grad_.ColorTo(), grad_.Style());
    }
    DrawState();
}

void TAbColBitBtn::DrawState() {
    const bool flashing = Checked() && Flashing();
    auto part = [&](TFlashOption fo, TCheckedOption co) {
        if (flashing && flashOptions_.Contains(fo)) return phase_;
        return checkedOptions_.Contains(co) && Checked();
    };
    if (!Hidden())
        ComposeFace(part(foGlyph, coGlyph), part(foText, coText), part(foTextCol, coTextCol),
                    part(foBtnCol, coBtnCol));
}

void TAbColBitBtn::ComposeFace(bool glyphOn, bool textOn, bool textColOn, bool faceColOn) {
    if (faceBuffer_.isNull() || faceBuffer_.size() != size()) return;
    const QSize cell =
        glyph_.isNull() ? QSize(0, 0) : QSize(glyph_.width() / numGlyph_, glyph_.height());
    QImage work = faceBuffer_.copy();
    QPainter p(&work);

    const bool sunkenLook = Pressed() || (Checked() && checkedOptions_.Contains(coBevel));
    const int down = sunkenLook ? offsetDown_ : 0;
    const TColor face = !enabled_ ? colorDisabled_ : faceColOn ? colorOn_ : colorOff_;

    TRect c{0, 0, width(), height()};
    const bool noFace = transparent_ || grad_.Visible();
    if ((beveled_ && !flat_) || (flat_ && mouseInside_)) {
        const bool raised =
            checkedOptions_.Contains(coBevel) ? !Checked() && !Pressed() : !Pressed();
        bevel_.DrawBevel(p, c, face, !noFace, raised);
    } else if (!noFace) {
        FillRect(p, c, ToQColor(face));
    }

    p.setFont(font());
    const QFontMetrics fm(font());
    const int tw = std::max(fm.horizontalAdvance(textOn_), fm.horizontalAdvance(textOff_));
    const int th = RoundHalfEven(fm.height() * 0.85L);
    const TButtonLayout at =
        LayoutButtonContent(c, {cell, tw, th, spacing_, posH_, posV_, posGlyph_,
                                QPoint(offsetX_ + down, offsetY_ + down)});

    TColor textColour = textColOn ? textColOn_ : textColOff_;
    if (!enabled_) textColour = textColDisabled_;
    const QString& text = textOn ? textOn_ : (!textOff_.isEmpty() ? textOff_ : textOn_);
    p.setBackgroundMode(Qt::TransparentMode);
    DrawText3D(p, at.text.x(), at.text.y(), text3D_, at.anchor, text, bevel_.HighlightColTo(),
               bevel_.ShadowColTo(), textColour);

    if (cell.width() >= 1) {
        int index = 0;
        if (numGlyph_ > 1 && !enabled_)
            index = 1;
        else if (numGlyph_ >= 3 && glyphOn)
            index = 2;
        p.drawImage(at.glyph, glyphMasked_,
                    QRect(index * cell.width(), 0, cell.width(), cell.height()));
    }
    if (hasFocus()) {
        // The desktop's dotted focus frame, just inside the bevel.
        const int inset = bevel_.Width() + 1;
        p.setPen(QPen(Qt::black, 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(inset, inset, width() - 2 * inset - 1, height() - 2 * inset - 1);
    }
    p.end();
    Surface() = work;
    ShowSurface(rect());
}
