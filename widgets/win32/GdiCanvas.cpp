// SPDX-License-Identifier: MIT
#include "widgets/win32/GdiCanvas.h"

#include <cassert>
#include <cstdlib>
#include <string>

#include "base/WideText.h"

namespace {

COLORREF Ref(TColor c) {
    // Colour values are laid out as COLORREF is: 0x00BBGGRR.
    return static_cast<COLORREF>(ColorToRGB(c));
}

}  // namespace

TGdiCanvas::TGdiCanvas(HDC dc) : dc_(dc), saved_(SaveDcState(dc)) {
    assert(dc_);
    SetBkMode(dc_, OPAQUE);
    SetPen(clBlack, 1);
    SetBrush(clWhite, bsSolid);
}

void TGdiCanvas::Select(TGdiObject& slot, HGDIOBJ object) {
    SelectObject(dc_, object);
    slot.Reset(object);  // the previous one is no longer selected
}

void TGdiCanvas::SetPen(TColor color, int width) {
    Select(pen_, CreatePen(PS_SOLID, width, Ref(color)));
}

void TGdiCanvas::SetBrush(TColor color, TBrushStyle style) {
    brushStyle_ = style;
    if (style == bsSolid) {
        Select(brush_, CreateSolidBrush(Ref(color)));
        SetBkColor(dc_, Ref(color));
        SetBkMode(dc_, OPAQUE);
    } else {
        // A stock object: selected, never deleted.
        SelectObject(dc_, GetStockObject(NULL_BRUSH));
        brush_.Reset();
        SetBkMode(dc_, TRANSPARENT);
    }
}

void TGdiCanvas::SetFont(const TFont& font) {
    // Cyrillic captions need the Russian character set in the stock dialog font.
    Select(font_, CreateFontW(font.Height, 0, 0, 0, font.Bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                              FALSE, RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                              NONANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS,
                              WideFromUtf8(font.Name).c_str()));
    SetFontColor(font.Color);
}

void TGdiCanvas::SetFontColor(TColor color) {
    SetTextColor(dc_, Ref(color));
}

void TGdiCanvas::Rectangle(int left, int top, int right, int bottom) {
    ::Rectangle(dc_, left, top, right, bottom);
}

void TGdiCanvas::FillRect(const TRect& r) {
    if (brushStyle_ != bsSolid || r.IsEmpty()) return;
    const RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    ::FillRect(dc_, &rc, static_cast<HBRUSH>(brush_.Get()));
}

void TGdiCanvas::Ellipse(int left, int top, int right, int bottom) {
    ::Ellipse(dc_, left, top, right, bottom);
}

void TGdiCanvas::Arc(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) {
    ::Arc(dc_, left, top, right, bottom, x1, y1, x2, y2);
}

void TGdiCanvas::Pie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) {
    ::Pie(dc_, left, top, right, bottom, x1, y1, x2, y2);
}

void TGdiCanvas::Chord(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) {
    ::Chord(dc_, left, top, right, bottom, x1, y1, x2, y2);
}

void TGdiCanvas::MoveTo(int x, int y) {
    MoveToEx(dc_, x, y, nullptr);
}

void TGdiCanvas::LineTo(int x, int y) {
    ::LineTo(dc_, x, y);
}

void TGdiCanvas::Polygon(const std::vector<TPoint>& points) {
    std::vector<POINT> p;
    for (const TPoint& q : points)
        p.push_back({q.X, q.Y});
    ::Polygon(dc_, p.data(), static_cast<int>(p.size()));
}

void TGdiCanvas::SetPixel(int x, int y, TColor color) {
    ::SetPixel(dc_, x, y, Ref(color));
}

void TGdiCanvas::DrawFocusRect(const TRect& r) {
    const RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    ::DrawFocusRect(dc_, &rc);
}

void TGdiCanvas::TextOut(int x, int y, const std::string& text) {
    const std::wstring w = WideFromUtf8(text);
    TextOutW(dc_, x, y, w.c_str(), static_cast<int>(w.size()));
}

TSize TGdiCanvas::TextExtent(const std::string& text) {
    const std::wstring w = WideFromUtf8(text);
    SIZE size{};
    GetTextExtentPoint32W(dc_, w.c_str(), static_cast<int>(w.size()), &size);
    if (w.empty()) {
        TEXTMETRICW tm{};
        GetTextMetricsW(dc_, &tm);
        size.cy = tm.tmHeight;
    }
    return {size.cx, size.cy};
}

void TGdiCanvas::SetClipRect(const TRect& r) {
    const TGdiObject region(CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom));
    SelectClipRgn(dc_, static_cast<HRGN>(region.Get()));  // the DC keeps a copy
}

std::unique_ptr<TBitmap> TGdiCanvas::NewBitmap(int width, int height) {
    return std::make_unique<TGdiBitmap>(width, height);
}

std::unique_ptr<TBitmap> TGdiCanvas::CopyToBitmap(const TRect& r) {
    auto b = std::make_unique<TGdiBitmap>(r.Width(), r.Height());
    BitBlt(b->Handle(), 0, 0, r.Width(), r.Height(), dc_, r.Left, r.Top, SRCCOPY);
    return b;
}

void TGdiCanvas::Draw(int x, int y, const TBitmap& bitmap, TCopyMode mode) {
    static constexpr DWORD kRops[] = {SRCCOPY, SRCINVERT, BLACKNESS};
    const auto& source = static_cast<const TGdiBitmap&>(bitmap);
    BitBlt(dc_, x, y, source.Width(), source.Height(), source.Handle(), 0, 0, kRops[mode]);
}

void TGdiCanvas::DrawTransparent(int x, int y, const TPixels& picture, const TRect& cell,
                                 TColor transparent) {
    // Glyphs are a few pixels wide: pixel by pixel is quick enough and needs no masks.
    for (int row = cell.Top; row < cell.Bottom; ++row)
        for (int col = cell.Left; col < cell.Right; ++col) {
            if (col < 0 || row < 0 || col >= picture.Width || row >= picture.Height) continue;
            const TColor c = picture.At(col, row);
            if (c != transparent) ::SetPixel(dc_, x + col - cell.Left, y + row - cell.Top, Ref(c));
        }
}

TGdiBitmap::TGdiBitmap(int width, int height)
    : width_(width > 0 ? width : 0),
      height_(height > 0 ? height : 0),
      dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width_ > 0 ? width_ : 1;
    info.bmiHeader.biHeight = -(height_ > 0 ? height_ : 1);  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.Reset(CreateDIBSection(dc_.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<const uint32_t*>(bits);
    selection_ = SelectInto(dc_.Get(), bitmap_.Get());
    PatBlt(dc_.Get(), 0, 0, width_, height_, BLACKNESS);
    canvas_ = std::make_unique<TGdiCanvas>(dc_.Get());
}

TPixels TGdiBitmap::Pixels() const {
    GdiFlush();
    TPixels p(width_, height_);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            const uint32_t v = bits_[y * width_ + x];  // 0xXXRRGGBB
            p.At(x, y) = RGBColor(int(v >> 16 & 0xFF), int(v >> 8 & 0xFF), int(v & 0xFF));
        }
    return p;
}
