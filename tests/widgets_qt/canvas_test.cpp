// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "WidgetTesting.h"
#include "support/PixelCanvas.h"
#include "widgets/AbBtnBevel.h"
#include "widgets/Gradient.h"

TEST(QtCanvas, SystemColoursResolveThroughThePinnedPalette) {
    EXPECT_EQ(ColorToRGB(clBtnFace), Grey(0xF0));
    EXPECT_EQ(ColorToRGB(clBtnShadow), Grey(0xA0));
    EXPECT_EQ(ColorToRGB(clBtnHighlight), Grey(0xFF));
    EXPECT_EQ(ColorToRGB(clWindowText), clBlack);
    EXPECT_EQ(ColorToRGB(clWindow), clWhite);
    EXPECT_EQ(ColorToRGB(SystemColor(200)), clBlack);  // no such system colour
    EXPECT_EQ(ToQColor(0x0000FF), QColor(255, 0, 0));  // red sits in the low byte
}

// The plain pixel canvas stands in for the desktop's in the widget tests: for what the window's
// pictures are made of it must give Qt's pixels exactly.
TEST(QtCanvas, MatchesThePixelCanvasForTheWindowsFigures) {
    auto draw = [](TCanvas& c) {
        TAbBtnBevel bevel;
        bevel.SetWidth(4);
        TRect r{0, 0, 60, 33};
        bevel.DrawBevel(c, r, clBtnFace, true, false);
        DrawGradient(c, r, 0xF0F0F0, 0x696969, gsHorizontal1);
        SetFigurePen(c, clRed, clLime);
        c.Rectangle(62, 2, 70, 9);
        c.SetPen(clBlue, 1);
        for (const TPoint to : {TPoint{79, 2}, TPoint{75, 30}, TPoint{62, 12}, TPoint{71, 20}}) {
            c.MoveTo(70, 15);
            c.LineTo(to.X, to.Y);
        }
        c.SetPixel(0, 34, clYellow);
        const std::unique_ptr<TBitmap> b = c.NewBitmap(20, 10);
        FillRect(b->Canvas(), {2, 2, 18, 8}, clWhite);
        c.Draw(5, 30, *b, cmSrcInvert);
        c.Draw(40, 30, *b, cmBlackness);
        const std::unique_ptr<TBitmap> copy = c.CopyToBitmap({0, 0, 20, 20});
        c.SetClipRect({50, 0, 80, 40});
        c.Draw(45, 20, *copy, cmSrcCopy);
    };
    TPixels pixels(80, 40, 0x808080);
    {
        TPixelCanvas canvas(pixels);
        draw(canvas);
    }
    QImage image(80, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(0x80, 0x80, 0x80));
    {
        TQtCanvas canvas(image);
        draw(canvas);
    }
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 80; ++x)
            ASSERT_EQ(PixelAt(image, x, y), pixels.At(x, y)) << x << "," << y;
}
