// SPDX-License-Identifier: MIT
#include "widgets/PixelCanvas.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

std::string Args(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s += (s.empty() ? "" : ",") + std::to_string(v);
    return s;
}

// Code points of UTF-8 text (continuation bytes skipped).
int Characters(const std::string& text) {
    int n = 0;
    for (const char c : text)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

struct TOval {
    double cx, cy, rx, ry;
    explicit TOval(const TRect& box)
        : cx((box.Left + box.Right - 1) / 2.0),
          cy((box.Top + box.Bottom - 1) / 2.0),
          rx((box.Width() - 1) / 2.0),
          ry((box.Height() - 1) / 2.0) {}
    bool Inside(int x, int y) const {
        const double dx = rx > 0 ? (x - cx) / rx : (x == cx ? 0 : 2);
        const double dy = ry > 0 ? (y - cy) / ry : (y == cy ? 0 : 2);
        return dx * dx + dy * dy <= 1.0 + 1e-9;
    }
    bool Edge(int x, int y) const {
        return Inside(x, y) &&
               (!Inside(x - 1, y) || !Inside(x + 1, y) || !Inside(x, y - 1) || !Inside(x, y + 1));
    }
    // Degrees counter-clockwise from three o'clock, 0 to 360.
    double Angle(double x, double y) const {
        const double a = std::atan2(cy - y, x - cx) * 180 / std::numbers::pi;
        return a < 0 ? a + 360 : a;
    }
};

// `ink` over `under` where `alpha` of 255 covers the pixel.
TColor Blend(TColor under, TColor ink, TColor alpha) {
    TColor out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const TColor u = (under >> shift) & 0xFF, i = (ink >> shift) & 0xFF;
        out |= ((i * alpha + u * (255 - alpha) + 127) / 255) << shift;
    }
    return out;
}

bool Within(double a, double from, double to) {
    const double span = std::fmod(to - from + 720, 360.0);
    return std::fmod(a - from + 720, 360.0) <= (span == 0 ? 360 : span);
}

}  // namespace

TPixelCanvas::TPixelCanvas(TPixels& pixels, std::vector<std::string>* log, TTextFace* face)
    : pixels_(pixels), log_(log), face_(face), clip_{0, 0, pixels.Width, pixels.Height} {}

void TPixelCanvas::Note(const std::string& call) {
    if (log_) log_->push_back(call);
}

void TPixelCanvas::Put(int x, int y, TColor c) {
    if (clip_.Contains(x, y)) pixels_.At(x, y) = ColorToRGB(c);
}

void TPixelCanvas::Fill(const TRect& r, TColor c) {
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            Put(x, y, c);
}

void TPixelCanvas::SetPen(TColor color, int width) {
    pen_ = color;
    penWidth_ = std::max(1, width);
}

void TPixelCanvas::SetBrush(TColor color, TBrushStyle style) {
    brush_ = color;
    brushStyle_ = style;
}

void TPixelCanvas::SetFont(const TFont& font) {
    font_ = font;
    fontColor_ = font.Color;
}

void TPixelCanvas::SetFontColor(TColor color) {
    fontColor_ = color;
}

void TPixelCanvas::Rectangle(int left, int top, int right, int bottom) {
    Note("Rectangle(" + Args({left, top, right, bottom}) + ")");
    if (right <= left || bottom <= top) return;
    if (brushStyle_ == bsSolid) Fill({left, top, right, bottom}, brush_);
    const int w = penWidth_;
    Fill({left, top, right, top + w}, pen_);
    Fill({left, bottom - w, right, bottom}, pen_);
    Fill({left, top, left + w, bottom}, pen_);
    Fill({right - w, top, right, bottom}, pen_);
}

void TPixelCanvas::FillRect(const TRect& r) {
    Note("FillRect(" + Args({r.Left, r.Top, r.Right, r.Bottom}) + ")");
    if (brushStyle_ == bsSolid) Fill(r, brush_);
}

void TPixelCanvas::Ellipse(int left, int top, int right, int bottom) {
    Note("Ellipse(" + Args({left, top, right, bottom}) + ")");
    const TOval o({left, top, right, bottom});
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (o.Edge(x, y))
                Put(x, y, pen_);
            else if (o.Inside(x, y) && brushStyle_ == bsSolid)
                Put(x, y, brush_);
}

void TPixelCanvas::Curve(TCurve kind, const TRect& box, TPoint from, TPoint to) {
    const TOval o(box);
    const double a1 = o.Angle(from.X, from.Y), a2 = o.Angle(to.X, to.Y);
    const double ex1 = o.cx + o.rx * std::cos(a1 * std::numbers::pi / 180);
    const double ey1 = o.cy - o.ry * std::sin(a1 * std::numbers::pi / 180);
    const double ex2 = o.cx + o.rx * std::cos(a2 * std::numbers::pi / 180);
    const double ey2 = o.cy - o.ry * std::sin(a2 * std::numbers::pi / 180);
    // The chord keeps the side of the line between the arc's ends that the arc's middle is on.
    auto side = [&](double x, double y) {
        return (ex2 - ex1) * (y - ey1) - (ey2 - ey1) * (x - ex1) > 0;
    };
    const double middle = (a1 + std::fmod(a2 - a1 + 720, 360.0) / 2) * std::numbers::pi / 180;
    const bool bulge = side(o.cx + o.rx * std::cos(middle), o.cy - o.ry * std::sin(middle));
    for (int y = box.Top; y < box.Bottom; ++y)
        for (int x = box.Left; x < box.Right; ++x) {
            if (!o.Inside(x, y)) continue;
            bool in = false;
            if (kind == TCurve::Pie) in = Within(o.Angle(x, y), a1, a2);
            if (kind == TCurve::Chord) in = side(x, y) == bulge;
            const bool edge = o.Edge(x, y) && Within(o.Angle(x, y), a1, a2);
            if (edge)
                Put(x, y, pen_);
            else if (in && kind != TCurve::Arc && brushStyle_ == bsSolid)
                Put(x, y, brush_);
        }
}

void TPixelCanvas::Arc(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) {
    Note("Arc(" + Args({left, top, right, bottom, x1, y1, x2, y2}) + ")");
    Curve(TCurve::Arc, {left, top, right, bottom}, {x1, y1}, {x2, y2});
}

void TPixelCanvas::Pie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) {
    Note("Pie(" + Args({left, top, right, bottom, x1, y1, x2, y2}) + ")");
    Curve(TCurve::Pie, {left, top, right, bottom}, {x1, y1}, {x2, y2});
}

void TPixelCanvas::Chord(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) {
    Note("Chord(" + Args({left, top, right, bottom, x1, y1, x2, y2}) + ")");
    Curve(TCurve::Chord, {left, top, right, bottom}, {x1, y1}, {x2, y2});
}

void TPixelCanvas::MoveTo(int x, int y) {
    position_ = {x, y};
}

void TPixelCanvas::LineTo(int x, int y) {
    Note("Line(" + Args({position_.X, position_.Y, x, y}) + ")");
    for (const TPoint& p : LinePixels(position_, {x, y}))
        Fill({p.X, p.Y, p.X + penWidth_, p.Y + penWidth_}, pen_);
    position_ = {x, y};
}

void TPixelCanvas::Polygon(const std::vector<TPoint>& points) {
    std::string args;
    for (const TPoint& p : points)
        args += (args.empty() ? "" : ",") + std::to_string(p.X) + "," + std::to_string(p.Y);
    Note("Polygon(" + args + ")");
    if (points.empty()) return;
    if (brushStyle_ == bsSolid) {
        int top = points[0].Y, bottom = top, left = points[0].X, right = left;
        for (const TPoint& p : points) {
            top = std::min(top, p.Y), bottom = std::max(bottom, p.Y);
            left = std::min(left, p.X), right = std::max(right, p.X);
        }
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x) {
                bool inside = false;
                for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
                    const TPoint a = points[i], b = points[j];
                    if ((a.Y > y) != (b.Y > y) &&
                        x < (b.X - a.X) * (y - a.Y) / double(b.Y - a.Y) + a.X)
                        inside = !inside;
                }
                if (inside) Put(x, y, brush_);
            }
    }
    for (std::size_t i = 0; i < points.size(); ++i) {
        const TPoint a = points[i], b = points[(i + 1) % points.size()];
        for (const TPoint& p : LinePixels(a, b))
            Put(p.X, p.Y, pen_);
    }
}

void TPixelCanvas::SetPixel(int x, int y, TColor color) {
    Put(x, y, color);
}

void TPixelCanvas::DrawFocusRect(const TRect& r) {
    Note("DrawFocusRect(" + Args({r.Left, r.Top, r.Right, r.Bottom}) + ")");
    for (int x = r.Left; x < r.Right; x += 2) {
        Put(x, r.Top, clBlack);
        Put(x, r.Bottom - 1, clBlack);
    }
    for (int y = r.Top; y < r.Bottom; y += 2) {
        Put(r.Left, y, clBlack);
        Put(r.Right - 1, y, clBlack);
    }
}

void TPixelCanvas::TextOut(int x, int y, const std::string& text) {
    Note("TextOut(" + Args({x, y}) + "," + text + ")");
    const TSize e = TextExtent(text);
    if (brushStyle_ == bsSolid) Fill({x, y, x + e.cx, y + e.cy}, brush_);
    if (face_) {
        const TPixels coverage = face_->Coverage(font_, text);
        const TColor ink = ColorToRGB(fontColor_);
        for (int row = 0; row < coverage.Height; ++row)
            for (int col = 0; col < coverage.Width; ++col) {
                const int tx = x + col, ty = y + row;
                const TColor a = coverage.At(col, row) & 0xFF;
                if (a == 0 || !clip_.Contains(tx, ty)) continue;
                pixels_.At(tx, ty) = Blend(pixels_.At(tx, ty), ink, a);
            }
        return;
    }
    // Each character a box, one pixel in from its cell, two below the line's top.
    for (int i = 0, n = Characters(text); i < n; ++i)
        Fill({x + i * kCharWidth + 1, y + 2, x + (i + 1) * kCharWidth - 1, y + kLineHeight - 2},
             fontColor_);
}

TSize TPixelCanvas::TextExtent(const std::string& text) {
    if (face_) return face_->Extent(font_, text);
    return {Characters(text) * kCharWidth, kLineHeight};
}

void TPixelCanvas::SetClipRect(const TRect& r) {
    clip_ = {std::max(0, r.Left), std::max(0, r.Top), std::min(pixels_.Width, r.Right),
             std::min(pixels_.Height, r.Bottom)};
}

std::unique_ptr<TBitmap> TPixelCanvas::NewBitmap(int width, int height) {
    Note("NewBitmap(" + Args({width, height}) + ")");
    return std::make_unique<TPixelBitmap>(width, height, clBlack, log_, face_);
}

std::unique_ptr<TBitmap> TPixelCanvas::CopyToBitmap(const TRect& r) {
    Note("CopyToBitmap(" + Args({r.Left, r.Top, r.Right, r.Bottom}) + ")");
    TPixels copy(r.Width(), r.Height());
    for (int y = 0; y < copy.Height; ++y)
        for (int x = 0; x < copy.Width; ++x) {
            const int sx = r.Left + x, sy = r.Top + y;
            if (sx >= 0 && sy >= 0 && sx < pixels_.Width && sy < pixels_.Height)
                copy.At(x, y) = pixels_.At(sx, sy);
        }
    return std::make_unique<TPixelBitmap>(std::move(copy), log_, face_);
}

void TPixelCanvas::Draw(int x, int y, const TBitmap& bitmap, TCopyMode mode) {
    static const char* const kModes[] = {"copy", "xor", "blackness"};
    Note("Draw(" + Args({x, y, bitmap.Width(), bitmap.Height()}) + "," + kModes[mode] + ")");
    // Read first: the bitmap may be this canvas's own.
    const TPixels source = static_cast<const TPixelBitmap&>(bitmap).Pixels();
    for (int row = 0; row < source.Height; ++row)
        for (int col = 0; col < source.Width; ++col) {
            const int tx = x + col, ty = y + row;
            if (!clip_.Contains(tx, ty)) continue;
            TColor& t = pixels_.At(tx, ty);
            const TColor s = source.At(col, row);
            t = mode == cmSrcCopy ? s : mode == cmSrcInvert ? (t ^ s) & 0xFFFFFF : clBlack;
        }
}

void TPixelCanvas::DrawTransparent(int x, int y, const TPixels& picture, const TRect& cell,
                                   TColor transparent) {
    Note("DrawTransparent(" + Args({x, y, cell.Left, cell.Top, cell.Right, cell.Bottom}) + ")");
    for (int row = cell.Top; row < cell.Bottom; ++row)
        for (int col = cell.Left; col < cell.Right; ++col) {
            if (col < 0 || row < 0 || col >= picture.Width || row >= picture.Height) continue;
            const TColor c = picture.At(col, row);
            if (c != transparent) Put(x + col - cell.Left, y + row - cell.Top, c);
        }
}

TPixelBitmap::TPixelBitmap(int width, int height, TColor fill, std::vector<std::string>* log,
                           TTextFace* face)
    : pixels_(width, height, ColorToRGB(fill)), canvas_(pixels_, log, face) {}

TPixelBitmap::TPixelBitmap(TPixels pixels, std::vector<std::string>* log, TTextFace* face)
    : pixels_(std::move(pixels)), canvas_(pixels_, log, face) {}
