// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "WidgetTesting.h"
#include "support/CanvasFigures.h"
#include "widgets/PixelCanvas.h"

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
    TPixels pixels(80, 40, 0x808080);
    {
        TPixelCanvas canvas(pixels);
        DrawCanvasFigures(canvas);
    }
    QImage image(80, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(0x80, 0x80, 0x80));
    {
        TQtCanvas canvas(image);
        DrawCanvasFigures(canvas);
    }
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 80; ++x)
            ASSERT_EQ(PixelAt(image, x, y), pixels.At(x, y)) << x << "," << y;
}
