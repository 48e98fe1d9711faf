// SPDX-License-Identifier: MIT
#include "widgets/qt/QtCanvas.h"

#include <cmath>
#include <numbers>

#include <QFontMetrics>
#include <QPolygon>
#include <QString>

namespace {

QRect Pixels(const TRect& r) {
    return r.IsEmpty() ? QRect() : QRect(r.Left, r.Top, r.Width(), r.Height());
}

// The QRect that makes QPainter's figures with a 1-pixel pen cover exactly the pixels of the
// box (L, T, R, B): the outline runs through columns L and R - 1.
QRect FigureRect(const TRect& r) {
    return QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1);
}

// The direction of the radial through p, in sixteenths of a degree counter-clockwise from
// three o'clock, around the centre of the box.
int Angle16(const TRect& box, TPoint p) {
    const double cx = (box.Left + box.Right) / 2.0, cy = (box.Top + box.Bottom) / 2.0;
    const double degrees = std::atan2(cy - p.Y, p.X - cx) * 180 / std::numbers::pi;
    return static_cast<int>(std::lround(degrees * 16));
}

}  // namespace

QColor ToQColor(TColor c) {
    const TColor rgb = ColorToRGB(c);
    return QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

TColor FromQColor(const QColor& c) {
    return RGBColor(c.red(), c.green(), c.blue());
}

QFont ToQFont(const TFont& font) {
    const bool stock = font.Name.empty() || font.Name == "MS Sans Serif";
    QFont q(stock ? QStringLiteral("DejaVu Sans") : QString::fromStdString(font.Name));
    q.setPixelSize(font.Height == 0 ? 11 : std::abs(font.Height));
    q.setStyleHint(QFont::SansSerif);
    q.setStyleStrategy(QFont::NoAntialias);
    q.setHintingPreference(QFont::PreferFullHinting);
    q.setBold(font.Bold);
    return q;
}

TQtCanvas::TQtCanvas(QImage& image) : image_(image), painter_(&image) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
    font_ = ToQFont({});
}

void TQtCanvas::SetPen(TColor color, int width) {
    pen_ = ToQColor(color);
    penWidth_ = width < 1 ? 1 : width;
}

void TQtCanvas::SetBrush(TColor color, TBrushStyle style) {
    brush_ = ToQColor(color);
    brushStyle_ = style;
}

void TQtCanvas::SetFont(const TFont& font) {
    font_ = ToQFont(font);
    fontColor_ = ToQColor(font.Color);
}

void TQtCanvas::SetFontColor(TColor color) {
    fontColor_ = ToQColor(color);
}

void TQtCanvas::OutlinePen() {
    QPen pen(pen_);
    pen.setWidth(penWidth_);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    painter_.setPen(pen);
    painter_.setBrush(brushStyle_ == bsSolid ? QBrush(brush_) : QBrush(Qt::NoBrush));
}

void TQtCanvas::FillPixels(const TRect& r, const QColor& c) {
    if (!r.IsEmpty()) painter_.fillRect(Pixels(r), c);
}

void TQtCanvas::Rectangle(int left, int top, int right, int bottom) {
    const TRect box{left, top, right, bottom};
    if (box.IsEmpty()) return;
    if (brushStyle_ == bsSolid) FillPixels(box, brush_);
    const int w = penWidth_;
    FillPixels({left, top, right, top + w}, pen_);
    FillPixels({left, bottom - w, right, bottom}, pen_);
    FillPixels({left, top, left + w, bottom}, pen_);
    FillPixels({right - w, top, right, bottom}, pen_);
}

void TQtCanvas::FillRect(const TRect& r) {
    if (brushStyle_ == bsSolid) FillPixels(r, brush_);
}

void TQtCanvas::Ellipse(int left, int top, int right, int bottom) {
    const TRect box{left, top, right, bottom};
    if (box.IsEmpty()) return;
    OutlinePen();
    painter_.drawEllipse(FigureRect(box));
}

void TQtCanvas::Curve(TCurve kind, const TRect& box, TPoint from, TPoint to) {
    if (box.IsEmpty()) return;
    const int start = Angle16(box, from);
    int span = Angle16(box, to) - start;
    while (span <= 0)
        span += 360 * 16;
    OutlinePen();
    switch (kind) {
        case TCurve::Arc:
            painter_.setBrush(Qt::NoBrush);
            painter_.drawArc(FigureRect(box), start, span);
            break;
        case TCurve::Pie:
            painter_.drawPie(FigureRect(box), start, span);
            break;
        case TCurve::Chord:
            painter_.drawChord(FigureRect(box), start, span);
            break;
    }
}

void TQtCanvas::Arc(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) {
    Curve(TCurve::Arc, {left, top, right, bottom}, {x1, y1}, {x2, y2});
}

void TQtCanvas::Pie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) {
    Curve(TCurve::Pie, {left, top, right, bottom}, {x1, y1}, {x2, y2});
}

void TQtCanvas::Chord(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) {
    Curve(TCurve::Chord, {left, top, right, bottom}, {x1, y1}, {x2, y2});
}

void TQtCanvas::MoveTo(int x, int y) {
    position_ = {x, y};
}

void TQtCanvas::LineTo(int x, int y) {
    for (const TPoint& p : LinePixels(position_, {x, y}))
        FillPixels({p.X, p.Y, p.X + penWidth_, p.Y + penWidth_}, pen_);
    position_ = {x, y};
}

void TQtCanvas::Polygon(const std::vector<TPoint>& points) {
    QPolygon polygon;
    for (const TPoint& p : points)
        polygon << QPoint(p.X, p.Y);
    OutlinePen();
    painter_.drawPolygon(polygon);
}

void TQtCanvas::SetPixel(int x, int y, TColor color) {
    FillPixels({x, y, x + 1, y + 1}, ToQColor(color));
}

void TQtCanvas::DrawFocusRect(const TRect& r) {
    if (r.IsEmpty()) return;
    painter_.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(FigureRect(r));
}

void TQtCanvas::TextOut(int x, int y, const std::string& text) {
    const QString s = QString::fromStdString(text);
    const QFontMetrics fm(font_);
    if (brushStyle_ == bsSolid)
        painter_.fillRect(x, y, fm.horizontalAdvance(s), fm.height(), brush_);
    painter_.setFont(font_);
    painter_.setPen(fontColor_);
    painter_.setBackgroundMode(Qt::TransparentMode);
    painter_.drawText(x, y + fm.ascent(), s);
}

TSize TQtCanvas::TextExtent(const std::string& text) {
    const QFontMetrics fm(font_);
    return {fm.horizontalAdvance(QString::fromStdString(text)), fm.height()};
}

void TQtCanvas::SetClipRect(const TRect& r) {
    clipped_ = true;
    clip_ = Pixels(r);
    painter_.setClipRect(clip_);
}

std::unique_ptr<TBitmap> TQtCanvas::NewBitmap(int width, int height) {
    return std::make_unique<TQtBitmap>(width, height);
}

std::unique_ptr<TBitmap> TQtCanvas::CopyToBitmap(const TRect& r) {
    return std::make_unique<TQtBitmap>(image_.copy(Pixels(r)));
}

void TQtCanvas::Draw(int x, int y, const TBitmap& bitmap, TCopyMode mode) {
    const QImage& source = static_cast<const TQtBitmap&>(bitmap).Image();
    const QRect target(x, y, source.width(), source.height());
    switch (mode) {
        case cmSrcCopy:
            painter_.setCompositionMode(QPainter::CompositionMode_Source);
            painter_.drawImage(x, y, source);
            painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
            break;
        case cmBlackness:
            painter_.setCompositionMode(QPainter::CompositionMode_Source);
            painter_.fillRect(target, Qt::black);
            painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
            break;
        case cmSrcInvert: {
            // Colour channels only: the result stays opaque.
            QRect area = target.intersected(image_.rect());
            if (clipped_) area = area.intersected(clip_);
            for (int row = area.top(); row <= area.bottom(); ++row) {
                auto* t = reinterpret_cast<QRgb*>(image_.scanLine(row));
                const auto* s = reinterpret_cast<const QRgb*>(source.constScanLine(row - y));
                for (int col = area.left(); col <= area.right(); ++col)
                    t[col] = 0xFF000000u | ((t[col] ^ s[col - x]) & 0x00FFFFFFu);
            }
            break;
        }
    }
}

void TQtCanvas::DrawTransparent(int x, int y, const TPixels& picture, const TRect& cell,
                                TColor transparent) {
    if (cell.IsEmpty()) return;
    QImage image(cell.Width(), cell.Height(), QImage::Format_ARGB32);
    for (int row = 0; row < cell.Height(); ++row)
        for (int col = 0; col < cell.Width(); ++col) {
            const int px = cell.Left + col, py = cell.Top + row;
            const bool inside = px >= 0 && py >= 0 && px < picture.Width && py < picture.Height;
            const TColor c = inside ? picture.At(px, py) : transparent;
            image.setPixel(col, row, c == transparent ? 0u : qRgb(RedOf(c), GreenOf(c), BlueOf(c)));
        }
    painter_.drawImage(x, y, image);
}

TQtBitmap::TQtBitmap(int width, int height)
    : image_(width > 0 && height > 0 ? QImage(width, height, QImage::Format_ARGB32_Premultiplied)
                                     : QImage()) {
    if (!image_.isNull()) image_.fill(Qt::black);
}

TQtBitmap::TQtBitmap(QImage image) : image_(std::move(image)) {
    if (!image_.isNull()) image_ = image_.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

TCanvas& TQtBitmap::Canvas() {
    if (!canvas_) canvas_ = std::make_unique<TQtCanvas>(image_);
    return *canvas_;
}
