// SPDX-License-Identifier: MIT
#pragma once
// The widgets' canvas on a QImage through QPainter, pixel for pixel as the desktop draws:
// no smoothing, 1-pixel figures through the columns left and right - 1, lines without their end
// pixel. Bitmaps are ARGB images, so that a control's surface that starts transparent lets its
// parent show through wherever the control leaves it uncovered.
#include <memory>

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>

#include "widgets/Canvas.h"

// The colour for a QPainter (opaque), system colours resolved.
QColor ToQColor(TColor c);
// The colour value of a QColor (alpha dropped).
TColor FromQColor(const QColor& c);
// The Qt font that stands for a font of the widgets: "MS Sans Serif", which Linux desktops lack,
// becomes DejaVu Sans (fonts-dejavu-core, with the Cyrillic captions) at the same pixel height,
// without smoothing, as the bitmap font was.
QFont ToQFont(const TFont& font);

class TQtCanvas final : public TCanvas {
public:
    // Draws on `image`, which must outlive the canvas.
    explicit TQtCanvas(QImage& image);

    void SetPen(TColor color, int width) override;
    void SetBrush(TColor color, TBrushStyle style) override;
    void SetFont(const TFont& font) override;
    void SetFontColor(TColor color) override;
    void Rectangle(int left, int top, int right, int bottom) override;
    void FillRect(const TRect& r) override;
    void Ellipse(int left, int top, int right, int bottom) override;
    void Arc(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) override;
    void Pie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) override;
    void Chord(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Polygon(const std::vector<TPoint>& points) override;
    void SetPixel(int x, int y, TColor color) override;
    void DrawFocusRect(const TRect& r) override;
    void TextOut(int x, int y, const std::string& text) override;
    TSize TextExtent(const std::string& text) override;
    void SetClipRect(const TRect& r) override;
    std::unique_ptr<TBitmap> NewBitmap(int width, int height) override;
    std::unique_ptr<TBitmap> CopyToBitmap(const TRect& r) override;
    void Draw(int x, int y, const TBitmap& bitmap, TCopyMode mode) override;
    void DrawTransparent(int x, int y, const TPixels& picture, const TRect& cell,
                         TColor transparent) override;

private:
    enum class TCurve { Arc, Pie, Chord };
    void Curve(TCurve kind, const TRect& box, TPoint from, TPoint to);
    void OutlinePen();
    void FillPixels(const TRect& r, const QColor& c);

    QImage& image_;
    QPainter painter_;
    QColor pen_{Qt::black};
    int penWidth_ = 1;
    QColor brush_{Qt::white};
    TBrushStyle brushStyle_ = bsSolid;
    QFont font_;
    QColor fontColor_{Qt::black};
    TPoint position_;
    bool clipped_ = false;
    QRect clip_;
};

class TQtBitmap final : public TBitmap {
public:
    // Black, opaque.
    TQtBitmap(int width, int height);
    explicit TQtBitmap(QImage image);

    int Width() const override { return image_.width(); }
    int Height() const override { return image_.height(); }
    TCanvas& Canvas() override;
    const QImage& Image() const { return image_; }

private:
    QImage image_;
    std::unique_ptr<TQtCanvas> canvas_;  // made on first use, after image_
};
