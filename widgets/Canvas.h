// SPDX-License-Identifier: MIT
#pragma once
// The drawing interface the widgets draw on, shaped as the desktop's device contexts are: a
// current pen, brush and font; figures given by their bounding box with exclusive right and
// bottom edges; arcs, pies and chords between the radials through two points, counter-clockwise;
// lines that leave out their end pixel; off-screen bitmaps drawn with a raster operation. Each
// desktop implements it (widgets/qt/ for Qt); the widget code knows no other.
#include <memory>
#include <string>
#include <vector>

#include "widgets/Colors.h"

struct TPoint {
    int X = 0;
    int Y = 0;
    friend TPoint operator+(TPoint a, TPoint b) { return {a.X + b.X, a.Y + b.Y}; }
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    void Inflate(int d) {
        Left -= d;
        Top -= d;
        Right += d;
        Bottom += d;
    }
    friend bool operator==(const TRect&, const TRect&) = default;
};

struct TFont {
    std::string Name;
    int Height = 0;  // pixels; negative: the height of the characters without internal leading
    bool Bold = false;
    TColor Color = clWindowText;
    friend bool operator==(const TFont&, const TFont&) = default;
};

enum TBrushStyle { bsSolid, bsClear };

// Raster operations of a bitmap draw: plain copy, exclusive-or with the target, and black
// (the bitmap's pixels unused).
enum TCopyMode { cmSrcCopy, cmSrcInvert, cmBlackness };

// A device-independent picture, such as a glyph strip: rows from the top, 0x00BBGGRR pixels.
struct TPixels {
    int Width = 0;
    int Height = 0;
    std::vector<TColor> Data;

    TPixels() = default;
    TPixels(int w, int h, TColor fill = clBlack)
        : Width(w), Height(h), Data(static_cast<std::size_t>(w > 0 && h > 0 ? w * h : 0), fill) {}
    bool IsEmpty() const { return Width <= 0 || Height <= 0; }
    TColor At(int x, int y) const { return Data[static_cast<std::size_t>(y * Width + x)]; }
    TColor& At(int x, int y) { return Data[static_cast<std::size_t>(y * Width + x)]; }
};

class TBitmap;

class TCanvas {
public:
    virtual ~TCanvas() = default;

    // Pen of `width` pixels (0 draws one pixel wide); the outline of figures and lines.
    virtual void SetPen(TColor color, int width = 1) = 0;
    // The inside of figures, FillRect, and the background of text when solid.
    virtual void SetBrush(TColor color, TBrushStyle style = bsSolid) = 0;
    // Font and text colour of TextOut and TextExtent.
    virtual void SetFont(const TFont& font) = 0;
    virtual void SetFontColor(TColor color) = 0;

    // Outlined with the pen (through columns left and right - 1), filled with the brush.
    virtual void Rectangle(int left, int top, int right, int bottom) = 0;
    // The pixels of r in the brush colour, no outline.
    virtual void FillRect(const TRect& r) = 0;
    virtual void Ellipse(int left, int top, int right, int bottom) = 0;
    // On the ellipse of the box, counter-clockwise from the radial through (x1, y1) to the
    // radial through (x2, y2); Pie closes it through the centre, Chord with a straight line.
    virtual void Arc(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) = 0;
    virtual void Pie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) = 0;
    virtual void Chord(int left, int top, int right, int bottom, int x1, int y1, int x2,
                       int y2) = 0;
    virtual void MoveTo(int x, int y) = 0;
    // A line from the current position to (x, y), without (x, y) itself, which becomes the
    // current position.
    virtual void LineTo(int x, int y) = 0;
    // Closed, outlined with the pen and filled with the brush.
    virtual void Polygon(const std::vector<TPoint>& points) = 0;
    virtual void SetPixel(int x, int y, TColor color) = 0;
    // The desktop's dotted focus frame on the edge of r.
    virtual void DrawFocusRect(const TRect& r) = 0;

    // UTF-8 text with its top-left corner at (x, y); over a box of the brush colour when the
    // brush is solid.
    virtual void TextOut(int x, int y, const std::string& text) = 0;
    // Advance width and line height of the text in the current font.
    virtual TSize TextExtent(const std::string& text) = 0;

    // Later drawing stays inside r.
    virtual void SetClipRect(const TRect& r) = 0;

    // An off-screen bitmap compatible with this canvas, black.
    virtual std::unique_ptr<TBitmap> NewBitmap(int width, int height) = 0;
    // A bitmap holding what this canvas shows in r.
    virtual std::unique_ptr<TBitmap> CopyToBitmap(const TRect& r) = 0;
    // Draws a bitmap made by this canvas (or one of its bitmaps) with its top-left at (x, y).
    virtual void Draw(int x, int y, const TBitmap& bitmap, TCopyMode mode = cmSrcCopy) = 0;
    // Draws the cell of `picture` at (x, y), leaving out the pixels of the colour `transparent`.
    virtual void DrawTransparent(int x, int y, const TPixels& picture, const TRect& cell,
                                 TColor transparent) = 0;
};

class TBitmap {
public:
    virtual ~TBitmap() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual TCanvas& Canvas() = 0;
};

// The pen and brush of an outlined figure: a 1-pixel pen of `pen`, a solid brush of `brush`.
void SetFigurePen(TCanvas& canvas, TColor pen, TColor brush);

// Fills the pixels of r with colour c (the brush is left solid in c).
void FillRect(TCanvas& canvas, const TRect& r, TColor c);

// One ring of a raised or sunken frame: the top row (L .. R-2) and left column (T .. B-2) in
// `top`, the right column (T .. B-1) and bottom row (L .. R-1) in `bottom`; then r shrinks by 1.
void FrameRing(TCanvas& canvas, TRect& r, TColor top, TColor bottom);

// The pixels of a line from `from` to `to` without `to` itself (Bresenham), for canvases that
// set line pixels one by one.
std::vector<TPoint> LinePixels(TPoint from, TPoint to);

// Rounds to the nearest integer, halves to even, as the desktop's floating-point unit does.
// Values past the int range are pinned to it.
int RoundHalfEven(long double v);

// Truncates toward zero; values past the int range are pinned to it.
int TruncToInt(long double v);
