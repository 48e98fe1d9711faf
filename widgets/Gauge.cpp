// SPDX-License-Identifier: MIT
#include "widgets/Gauge.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <numbers>

#include "widgets/AlignedText.h"

namespace {

void Blacken(TBitmap& b) {
    b.Canvas().Draw(0, 0, b, cmBlackness);
}

// A bitmap of the source's size in the window-frame colour, then made black, ready to be drawn
// on and combined by exclusive-or.
std::unique_ptr<TBitmap> MakeLike(TBitmap& source) {
    std::unique_ptr<TBitmap> b = source.Canvas().NewBitmap(source.Width(), source.Height());
    FillRect(b->Canvas(), {0, 0, source.Width(), source.Height()}, clWindowFrame);
    Blacken(*b);
    return b;
}

std::string RangeMessage(long long low, long long high) {
    char text[96];
    std::snprintf(text, sizeof text, "Value must be between %lld and %lld", low, high);
    return text;
}

}  // namespace

TGauge::TGauge(TOwner* owner) : TControl(owner) {
    SetSize(100, 100);
}

TColor TGauge::Color() const {
    return parentColor_ ? OwnerColor() : color_;
}

void TGauge::SetMinValue(int32_t value) {
    if (value == minValue_) return;
    // The bounds are computed wide so that the message of an extreme range stays true.
    if (value > maxValue_ && !loading_)
        throw EInvalidOperation(RangeMessage(-2147483647LL, maxValue_ - 1LL));
    minValue_ = value;
    if (progress_ < value) progress_ = value;
    Repaint();
}

void TGauge::SetMaxValue(int32_t value) {
    if (value == maxValue_) return;
    if (value < minValue_ && !loading_)
        throw EInvalidOperation(RangeMessage(minValue_ + 1LL, 2147483647LL));
    maxValue_ = value;
    if (progress_ > value) progress_ = value;
    Repaint();
}

void TGauge::SetProgress(int32_t value) {
    if (value < minValue_)
        value = minValue_;
    else if (value > maxValue_)
        value = maxValue_;
    if (value == progress_) return;
    const int before = PercentDone();
    progress_ = value;
    if (PercentDone() != before) Repaint();
}

void TGauge::SetKind(TGaugeKind value) {
    Apply(kind_, value);
}
void TGauge::SetShowText(bool value) {
    Apply(showText_, value);
}
void TGauge::SetBorderStyle(TBorderStyle value) {
    Apply(borderStyle_, value);
}
void TGauge::SetForeColor(TColor value) {
    Apply(foreColor_, value);
}
void TGauge::SetBackColor(TColor value) {
    Apply(backColor_, value);
}

void TGauge::SetColor(TColor value) {
    if (!parentColor_ && value == color_) return;
    color_ = value;
    parentColor_ = false;
    Repaint();
}

void TGauge::SetParentColor(bool value) {
    if (value == parentColor_) return;
    parentColor_ = value;
    Repaint();
}

int TGauge::PercentOf(int32_t progress, int32_t minValue, int32_t maxValue) {
    if (maxValue == minValue) return 0;
    const long double done = static_cast<long double>(progress) - minValue;
    const long double range = static_cast<long double>(maxValue) - minValue;
    return TruncToInt(done * 100 / range);
}

int TGauge::PercentDone() const {
    return PercentOf(progress_, minValue_, maxValue_);
}

void TGauge::Paint(TCanvas& canvas) {
    if (Width() <= 0 || Height() <= 0) return;
    const std::unique_ptr<TBitmap> image = canvas.NewBitmap(Width(), Height());
    Blacken(*image);
    TRect area = ClientRect();
    if (borderStyle_ == bsSingle) area.Inflate(-1);

    const std::unique_ptr<TBitmap> overlay = MakeLike(*image);
    switch (kind_) {
        case gkText:
            PaintAsText(overlay->Canvas(), area);
            break;
        case gkHorizontalBar:
        case gkVerticalBar:
            PaintAsBar(overlay->Canvas(), area);
            break;
        case gkPie:
            PaintAsPie(overlay->Canvas(), area);
            break;
        case gkNeedle:
            PaintAsNeedle(overlay->Canvas(), area);
            break;
    }
    image->Canvas().Draw(0, 0, *overlay, cmSrcInvert);
    if (showText_) DrawPercentText(*image, area);
    canvas.Draw(0, 0, *image);
}

void TGauge::PaintAsText(TCanvas& p, const TRect& a) const {
    FillRect(p, a, backColor_);
}

void TGauge::PaintAsBar(TCanvas& p, const TRect& a) const {
    const int w = a.Right - a.Left + 1, h = a.Bottom - a.Top + 1;
    FillRect(p, a, backColor_);
    p.SetPen(foreColor_, 1);
    const long double share = PercentDone() * 0.01L;
    // The bar's far edges are the absolute coordinates size and h, not offsets from the
    // area's corner: with the frame this fills the inner area exactly at 100 %.
    if (kind_ == gkHorizontalBar) {
        int size = TruncToInt(w * share);
        if (size > w) size = w;
        if (size > 0) FillRect(p, {a.Left, a.Top, size, h}, foreColor_);
    } else {
        int size = TruncToInt(h * share);
        if (size >= h) size = h - 1;
        FillRect(p, {a.Left, h - size, w, h}, foreColor_);
    }
}

void TGauge::PaintAsPie(TCanvas& p, const TRect& a) const {
    FillRect(p, a, Color());
    const int extra = borderStyle_ == bsSingle ? 1 : 0;
    const int w = a.Width() + extra, h = a.Height() + extra;
    SetFigurePen(p, foreColor_, backColor_);
    p.Ellipse(a.Left, a.Top, w, h);
    const int percent = PercentDone();
    if (percent > 0) {
        // Grows clockwise from twelve o'clock.
        const long double angle = (percent / 50.0L + 0.5L) * std::numbers::pi_v<long double>;
        p.SetBrush(foreColor_);
        p.Pie(a.Left, a.Top, w, h, RoundHalfEven(w / 2 * (1 - std::cos(angle))),
              RoundHalfEven(h / 2 * (1 - std::sin(angle))), w / 2, 0);
    }
}

void TGauge::PaintAsNeedle(TCanvas& p, const TRect& a) const {
    FillRect(p, a, Color());
    const int extra = borderStyle_ == bsSingle ? 1 : 0;
    const int right = a.Width() + extra, bottom = a.Height() + extra;
    SetFigurePen(p, foreColor_, backColor_);
    // The dial is the upper half of an ellipse standing on the bottom edge.
    p.Chord(a.Left, a.Top, right, 2 * bottom - a.Top, right, bottom, a.Left, bottom);
    p.MoveTo(a.Left, bottom - 1);
    p.LineTo(right, bottom - 1);
    const int percent = PercentDone();
    if (percent > 0) {
        const long double angle = percent / 100.0L * std::numbers::pi_v<long double>;
        const int cx = Width() / 2, cy = bottom - 1;
        const long double rx = (right - a.Left) / 2.0L, ry = bottom - 1 - a.Top;
        p.MoveTo(cx, cy);
        p.LineTo(cx - RoundHalfEven(rx * std::cos(angle)),
                 cy - RoundHalfEven(ry * std::sin(angle)));
    }
}

void TGauge::DrawPercentText(TBitmap& image, const TRect& a) const {
    const std::unique_ptr<TBitmap> overlay = MakeLike(image);
    TCanvas& p = overlay->Canvas();
    p.SetBrush(clBlack, bsClear);
    p.SetFont(Font());
    p.SetFontColor(clWhite);
    char text[16];
    std::snprintf(text, sizeof text, "%d%%", PercentDone());
    const TSize e = p.TextExtent(text);
    // Positions within the bitmap, not offset by the area's corner.
    const int x = (a.Right - a.Left + 1 - e.cx) / 2;
    const int y = (a.Bottom - a.Top + 1 - e.cy) / 2;
    p.SetClipRect(a);
    DrawAlignedText(p, x, y, taTopLeft, text);
    image.Canvas().Draw(0, 0, *overlay, cmSrcInvert);
}
