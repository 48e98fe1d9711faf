// SPDX-License-Identifier: MIT
#pragma once
// The widgets' canvas on a Win32 device context through GDI, and off-screen bitmaps as DIB
// sections with memory device contexts of their own.
#include <windows.h>
// windows.h names TextOutA or TextOutW TextOut; here TextOut is the canvas's, and GDI's is
// called by its wide name.
#undef TextOut

#include <memory>

#include "widgets/Canvas.h"
#include "widgets/win32/WinHandles.h"

class TGdiCanvas final : public TCanvas {
public:
    // Draws on `dc`, which must outlive the canvas; the DC gets its own objects back at the end.
    explicit TGdiCanvas(HDC dc);
    TGdiCanvas(const TGdiCanvas&) = delete;
    TGdiCanvas& operator=(const TGdiCanvas&) = delete;

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

    HDC Handle() const { return dc_; }

private:
    void Select(TGdiObject& slot, HGDIOBJ object);

    HDC dc_;
    TGdiObject pen_;
    TGdiObject brush_;
    TGdiObject font_;
    // Last, so that our objects leave the DC before they are deleted.
    TSavedDc saved_;
    TBrushStyle brushStyle_ = bsSolid;
};

// A 32-bit top-down DIB section, black, selected into a memory DC of its own.
class TGdiBitmap final : public TBitmap {
public:
    TGdiBitmap(int width, int height);
    TGdiBitmap(const TGdiBitmap&) = delete;
    TGdiBitmap& operator=(const TGdiBitmap&) = delete;

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    TCanvas& Canvas() override { return *canvas_; }
    HDC Handle() const { return dc_.Get(); }
    // The bitmap's pixels as colour values, once GDI has finished drawing.
    TPixels Pixels() const;

private:
    int width_;
    int height_;
    // In this order, so that the canvas gives the DC its objects back, and the DIB leaves the DC,
    // before either goes.
    TMemoryDc dc_;
    TGdiObject bitmap_;
    TSelection selection_;
    const uint32_t* bits_ = nullptr;
    std::unique_ptr<TGdiCanvas> canvas_;
};
