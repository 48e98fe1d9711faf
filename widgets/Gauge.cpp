// SPDX-License-Identifier: MIT
#include "widgets/Gauge.h"

#include <cmath>
#include <cstdio>
#include <numbers>

#include <QPaintEvent>

#include "widgets/AlignedText.h"

namespace {

// An image of the given size in the window-frame colour, then made black, ready to be drawn
// on and combined by exclusive-or.
QImage MakeLike(const QImage& source) {
    QImage image(source.size(), QImage::Format_RGB32);
    image.fill(ToQColor(clWindowFrame));
    image.fill(Qt::black);
    return image;
}

void XorInto(QImage& target, const QImage& overlay) {
    for (int y = 0; y < target.height(); ++y) {
        auto* t = reinterpret_cast<QRgb*>(target.scanLine(y));
        const auto* o = reinterpret_cast<const QRgb*>(overlay.constScanLine(y));
        for (int x = 0; x < target.width(); ++x)
            t[x] = 0xFF000000u | ((t[x] ^ o[x]) & 0x00FFFFFFu);
    }
}

std::string RangeMessage(long long low, long long high) {
    char text[96];
    std::snprintf(text, sizeof text, "Value must be between %lld and %lld", low, high);
    return text;
}

}  // namespace

TGauge::TGauge(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(100, 100);
}

TColor TGauge::Color() const {
    if (!parentColor_) return color_;
    if (const QWidget* p = parentWidget()) return FromQColor(p->palette().color(QPalette::Window));
    return clBtnFace;
}

void TGauge::SetMinValue(int32_t value) {
    if (value == minValue_) return;
    // The bounds are computed wide so that the message of an extreme range stays true.
    if (value > maxValue_ && !loading_)
        throw EInvalidOperation(RangeMessage(-2147483647LL, maxValue_ - 1LL));
    minValue_ = value;
    if (progress_ < value) progress_ = value;
    repaint();
}

void TGauge::SetMaxValue(int32_t value) {
    if (value == maxValue_) return;
    if (value < minValue_ && !loading_)
        throw EInvalidOperation(RangeMessage(minValue_ + 1LL, 2147483647LL));
    maxValue_ = value;
    if (progress_ > value) progress_ = value;
    repaint();
}

void TGauge::SetProgress(int32_t value) {
    if (value < minValue_)
        value = minValue_;
    else if (value > maxValue_)
        value = maxValue_;
    if (value == progress_) return;
    const int before = PercentDone();
    progress_ = value;
    if (PercentDone() != before) repaint();
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
    repaint();
}

void TGauge::SetParentColor(bool value) {
    if (value == parentColor_) return;
    parentColor_ = value;
    repaint();
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

QImage TGauge::PaintImage() const {
    QImage image(size(), QImage::Format_RGB32);
    if (image.isNull()) return image;
    image.fill(Qt::black);
    TRect area{0, 0, width(), height()};
    if (borderStyle_ == bsSingle) area.Inflate(-1);

    QImage overlay = MakeLike(image);
    {
        QPainter p(&overlay);
        p.setRenderHint(QPainter::Antialiasing, false);
        switch (kind_) {
            case gkText:
                PaintAsText(p, area);
                break;
            case gkHorizontalBar:
            case gkVerticalBar:
                PaintAsBar(p, area);
                break;
            case gkPie:
                PaintAsPie(p, area);
                break;
            case gkNeedle:
                PaintAsNeedle(p, area);
                break;
        }
    }
    XorInto(image, overlay);
    if (showText_) DrawPercentText(image, area);
    return image;
}

void TGauge::paintEvent(QPaintEvent*) {
    const QImage image = PaintImage();
    QPainter p(this);
    p.drawImage(0, 0, image);
}

void TGauge::PaintAsText(QPainter& p, const TRect& a) const {
    FillRect(p, a, ToQColor(backColor_));
}

void TGauge::PaintAsBar(QPainter& p, const TRect& a) const {
    const int w = a.Right - a.Left + 1, h = a.Bottom - a.Top + 1;
    FillRect(p, a, ToQColor(backColor_));
    const QColor fore = ToQColor(foreColor_);
    const long double share = PercentDone() * 0.01L;
    // The bar's far edges are the absolute coordinates size and h, not offsets from the
    // area's corner: with the frame this fills the inner area exactly at 100 %.
    if (kind_ == gkHorizontalBar) {
        int size = TruncToInt(w * share);
        if (size > w) size = w;
        if (size > 0) FillRect(p, {a.Left, a.Top, size, h}, fore);
    } else {
        int size = TruncToInt(h * share);
        if (size >= h) size = h - 1;
        FillRect(p, {a.Left, h - size, w, h}, fore);
    }
}

void TGauge::PaintAsPie(QPainter& p, const TRect& a) const {
    FillRect(p, a, ToQColor(Color()));
    const int extra = borderStyle_ == bsSingle ? 1 : 0;
    const TRect oval{a.Left, a.Top, a.Width() + extra, a.Height() + extra};
    SetFigurePen(p, ToQColor(foreColor_), ToQColor(backColor_));
    p.drawEllipse(FigureRect(oval));
    const int percent = PercentDone();
    if (percent > 0) {
        // Grows clockwise from twelve o'clock.
        p.setBrush(ToQColor(foreColor_));
        p.drawPie(FigureRect(oval), 90 * 16, -RoundHalfEven(percent * 3.6L * 16));
    }
}

void TGauge::PaintAsNeedle(QPainter& p, const TRect& a) const {
    FillRect(p, a, ToQColor(Color()));
    const int extra = borderStyle_ == bsSingle ? 1 : 0;
    const int right = a.Width() + extra, bottom = a.Height() + extra;
    SetFigurePen(p, ToQColor(foreColor_), ToQColor(backColor_));
    // The dial is the upper half of an ellipse standing on the bottom edge.
    const TRect dial{a.Left, a.Top, right, 2 * bottom - a.Top};
    p.drawChord(FigureRect(dial), 0, 180 * 16);
    p.drawLine(a.Left, bottom - 1, right - 1, bottom - 1);
    const int percent = PercentDone();
    if (percent > 0) {
        const long double angle = percent / 100.0L * std::numbers::pi_v<long double>;
        const int cx = width() / 2, cy = bottom - 1;
        const long double rx = (right - a.Left) / 2.0L, ry = bottom - 1 - a.Top;
        p.drawLine(cx, cy, cx - RoundHalfEven(rx * std::cos(angle)),
                   cy - RoundHalfEven(ry * std::sin(angle)));
    }
}

void TGauge::DrawPercentText(QImage& image, const TRect& a) const {
    QImage overlay = MakeLike(image);
    {
        QPainter p(&overlay);
        p.setFont(font());
        p.setPen(Qt::white);
        p.setBackgroundMode(Qt::TransparentMode);
        const QString text = QString::asprintf("%d%%", PercentDone());
        const QSize e = TextExtent(p, text);
        // Positions within the image, not offset by the area's corner.
        const int x = (a.Right - a.Left + 1 - e.width()) / 2;
        const int y = (a.Bottom - a.Top + 1 - e.height()) / 2;
        p.setClipRect(a.Pixels());
        DrawAlignedText(p, x, y, taTopLeft, text);
    }
    XorInto(image, overlay);
}
