// SPDX-License-Identifier: MIT
// The widgets on GDI, in DIB sections: no display needed.
#include <gtest/gtest.h>

#include "../WidgetTesting.h"
#include "widgets/AbColBitBtn.h"
#include "widgets/AbLED.h"
#include "widgets/Gauge.h"
#include "widgets/win32/GdiCanvas.h"

namespace {

// What a control's full paint shows on a window in the button-face colour.
TPixels PaintedInDib(TControl& control) {
    TGdiBitmap dib(control.Width(), control.Height());
    FillRect(dib.Canvas(), control.ClientRect(), clBtnFace);
    control.Paint(dib.Canvas());
    return dib.Pixels();
}

}  // namespace

TEST(GdiCanvas, MatchesThePixelCanvasForTheWindowsFigures) {
    TPixels pixels(80, 40, 0x808080);
    {
        TPixelCanvas canvas(pixels);
        DrawCanvasFigures(canvas);
    }
    TGdiBitmap dib(80, 40);
    FillRect(dib.Canvas(), {0, 0, 80, 40}, 0x808080);
    DrawCanvasFigures(dib.Canvas());
    const TPixels gdi = dib.Pixels();
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 80; ++x)
            ASSERT_EQ(gdi.At(x, y), pixels.At(x, y)) << x << "," << y;
}

TEST(GdiCanvas, WindowControlsPaintTheirFacesRingsLampAndBar) {
    TOwner window;
    TAbColBitBtn button(&window);
    button.SetSize(345, 33);
    button.SetMode(mSwitch);
    button.SetTextOff("Старт BootLoader");
    button.SetTextOn("BootLoader запущен");
    const int rows[] = {0xF0, 0xEA, 0xE5, 0xDF, 0xDA, 0xD4, 0xCF, 0xCA, 0xC4,
                        0xBF, 0xB9, 0xB4, 0xAF, 0xA9, 0xA4, 0x9E, 0x99, 0x94,
                        0x8E, 0x89, 0x83, 0x7E, 0x79, 0x73, 0x6E};
    const int raisedTop[] = {0xDD, 0xE8, 0xF4, 0xFF}, raisedBottom[] = {0x28, 0x50, 0x78, 0xA0};
    const int sunkenTop[] = {0x78, 0x50, 0x28, 0x00};
    TPixels face = PaintedInDib(button);
    for (int y = 0; y < 25; ++y)
        EXPECT_EQ(face.At(10, 4 + y), Grey(rows[y])) << "row " << y;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(face.At(10, i), Grey(raisedTop[i])) << "ring " << i;
        EXPECT_EQ(face.At(10, 32 - i), Grey(raisedBottom[i])) << "ring " << i;
    }
    button.SetChecked(true);
    face = PaintedInDib(button);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(face.At(10, i), Grey(sunkenTop[i])) << "ring " << i;

    TAbLED led(&window);
    led.SetSize(113, 33);
    TPixels lamp = PaintedInDib(led);
    EXPECT_EQ(lamp.At(0, 16), Grey(0xA0));  // the outline
    EXPECT_EQ(lamp.At(6, 16), Grey(0xF0));
    led.SetChecked(true);
    lamp = PaintedInDib(led);
    EXPECT_EQ(lamp.At(6, 16), clLime);

    TGauge gauge;
    gauge.SetSize(350, 25);
    gauge.SetShowText(false);
    gauge.SetProgress(50);
    const TPixels bar = PaintedInDib(gauge);
    for (int x = 0; x < 350; ++x) {
        ASSERT_EQ(bar.At(x, 0), clBlack) << x;
        ASSERT_EQ(bar.At(x, 24), clBlack) << x;
        ASSERT_EQ(bar.At(x, 12), x <= 173 || x == 349 ? clBlack : clWhite) << x;
    }
}
