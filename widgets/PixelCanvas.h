// SPDX-License-Identifier: MIT
#pragma once
// The widgets' canvas on a plain pixel buffer, with no desktop API: what a front end without a
// canvas of its own draws on (a page blits the pixels onto its HTML canvas), and the reference
// the desktops' canvases are tested against. Exact for what the window's pictures are made of
// (fills, rectangles, frames, lines, pixels, bitmap draws with copy, exclusive-or and blackness,
// clipping), close enough for the rest (ellipses, arcs, pies, chords and polygons by pixel
// centres). Text is drawn in a made-up font of solid boxes, 7 pixels per character and 13 high, so
// that where text lands can be checked without a font, unless a face of real letters is given
// (the page takes the browser's). It can also write every call into a log, for checks of what a
// widget draws rather than how it looks.
#include <string>
#include <vector>

#include "widgets/Canvas.h"

// Letters for a canvas without a desktop: how far a text reaches, and how much of each pixel of
// that box it covers.
class TTextFace {
public:
    // Advance width and line height of `text` in `font`.
    virtual TSize Extent(const TFont& font, const std::string& text) = 0;
    // The coverage of `text` in `font`, 0 to 255 a pixel, over a box of Extent's size.
    virtual TPixels Coverage(const TFont& font, const std::string& text) = 0;

protected:
    ~TTextFace() = default;
};

class TPixelCanvas final : public TCanvas {
public:
    static constexpr int kCharWidth = 7;
    static constexpr int kLineHeight = 13;

    // Draws into `pixels`, which must outlive the canvas; calls go to `log` when given, text in
    // `face` when given (it outlives the canvas and the bitmaps the canvas makes).
    explicit TPixelCanvas(TPixels& pixels, std::vector<std::string>* log = nullptr,
                          TTextFace* face = nullptr);

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
    void Put(int x, int y, TColor c);
    void Fill(const TRect& r, TColor c);
    void Note(const std::string& call);

    TPixels& pixels_;
    std::vector<std::string>* log_;
    TTextFace* face_;
    TColor pen_ = clBlack;
    int penWidth_ = 1;
    TColor brush_ = clWhite;
    TBrushStyle brushStyle_ = bsSolid;
    TFont font_;
    TColor fontColor_ = clBlack;
    TPoint position_;
    TRect clip_;
};

class TPixelBitmap final : public TBitmap {
public:
    // Filled with `fill`; a bitmap made by a canvas shares its log and its face.
    TPixelBitmap(int width, int height, TColor fill = clBlack,
                 std::vector<std::string>* log = nullptr, TTextFace* face = nullptr);
    TPixelBitmap(TPixels pixels, std::vector<std::string>* log, TTextFace* face = nullptr);
    // The canvas draws into pixels_ of this very object.
    TPixelBitmap(const TPixelBitmap&) = delete;
    TPixelBitmap& operator=(const TPixelBitmap&) = delete;

    int Width() const override { return pixels_.Width; }
    int Height() const override { return pixels_.Height; }
    TCanvas& Canvas() override { return canvas_; }
    const TPixels& Pixels() const { return pixels_; }
    TColor At(int x, int y) const { return pixels_.At(x, y); }

private:
    TPixels pixels_;
    TPixelCanvas canvas_;
};
