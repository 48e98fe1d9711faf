// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>

#include "WidgetTesting.h"
#include "widgets/Gradient.h"
#include "widgets/SystemColors.h"

namespace {

// The gradient drawn alone into a w x h picture (red where nothing was drawn).
TPixels GradientImage(int w, int h, TColor from, TColor to, TGradientStyle style) {
    TPixelBitmap b(w, h, 0x0000FF);
    DrawGradient(b.Canvas(), {0, 0, w, h}, from, to, style);
    return b.Pixels();
}

}  // namespace

TEST(Colors, SystemColoursResolveThroughTheStockColoursAndPlainOnesPassThrough) {
    EXPECT_EQ(ColorToRGB(clBtnFace), Grey(0xF0));
    EXPECT_EQ(ColorToRGB(clBtnShadow), Grey(0xA0));
    EXPECT_EQ(ColorToRGB(clBtnHighlight), Grey(0xFF));
    EXPECT_EQ(ColorToRGB(clWindowText), clBlack);
    EXPECT_EQ(ColorToRGB(clWindow), clWhite);
    EXPECT_EQ(ColorToRGB(SystemColor(200)), clBlack);  // no such system colour
    EXPECT_EQ(ColorToRGB(0x00123456), 0x00123456u);
    EXPECT_EQ(RedOf(0x0000FF), 255);  // red sits in the low byte

    // A desktop's own colours take over, and going back restores the stock ones.
    struct Inverted final : TSystemColors {
        TColor SysColor(unsigned number) const override {
            return StockSystemColors().SysColor(number) ^ 0xFFFFFF;
        }
    } inverted;
    SetSystemColors(&inverted);
    EXPECT_EQ(ColorToRGB(clBtnFace), Grey(0x0F));
    SetSystemColors(nullptr);
    EXPECT_EQ(ColorToRGB(clBtnFace), Grey(0xF0));
}

TEST(GradeColor, StepsRoundHalvesToEven) {
    const TColor expected[] = {Grey(0xDD), Grey(0xE8), Grey(0xF4), Grey(0xFF)};
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(GradeColor(0xD2D2D2, 0xFFFFFF, 4, i), expected[i - 1]) << i;
    // Downward halves round to even as well: 255 - 22.5 gives 233.
    EXPECT_EQ(GradeColor(0xFFFFFF, 0xD2D2D2, 4, 2), Grey(233));
    EXPECT_EQ(GradeColor(0x000000, 0x0000FF, 0, 1), 0x0000FFu);  // count 0 counts as 1
}

TEST(GradeColor, EqualColoursReturnFromUnresolved) {
    EXPECT_EQ(GradeColor(clBtnFace, 0xF0F0F0, 4, 2), clBtnFace);
    EXPECT_EQ(GradeColor(clBtnHighlight, clBtnHighlight, 3, 1), clBtnHighlight);
    EXPECT_EQ(GradeColor(clBtnShadow, clBlack, 4, 1), Grey(0x78));  // resolved before stepping
}

TEST(DrawGradient, WindowButtonRowsComeFromThe32BitStep) {
    const TPixels b = GradientImage(337, 25, 0xF0F0F0, 0x696969, gsHorizontal1);
    const int rows[] = {0xF0, 0xEA, 0xE5, 0xDF, 0xDA, 0xD4, 0xCF, 0xCA, 0xC4,
                        0xBF, 0xB9, 0xB4, 0xAF, 0xA9, 0xA4, 0x9E, 0x99, 0x94,
                        0x8E, 0x89, 0x83, 0x7E, 0x79, 0x73, 0x6E};
    for (int y = 0; y < 25; ++y) {
        EXPECT_EQ(b.At(0, y), Grey(rows[y])) << "row " << y;
        EXPECT_EQ(b.At(336, y), Grey(rows[y])) << "row " << y;
    }
}

TEST(DrawGradient, BandsWiderThanARowAndTheLastBandFillsTheRest) {
    const TPixels b = GradientImage(5, 100, 0x000000, 0x000010, gsHorizontal1);
    for (int y = 0; y < 100; ++y)
        EXPECT_EQ(b.At(2, y), RGBColor(std::min(y / 6, 16), 0, 0)) << y;
    const TPixels v = GradientImage(100, 5, 0x000000, 0x100000, gsVertical1);
    EXPECT_EQ(v.At(13, 2), RGBColor(0, 0, 2));
    EXPECT_EQ(v.At(99, 0), RGBColor(0, 0, 16));
}

TEST(DrawGradient, EqualColoursFillOneColourInEveryStyle) {
    for (int s = gsHorizontal1; s <= gsTopRight; ++s) {
        const TPixels b = GradientImage(9, 7, clBtnFace, 0xF0F0F0, TGradientStyle(s));
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 9; ++x)
                ASSERT_EQ(b.At(x, y), Grey(0xF0)) << s;
    }
}

TEST(DrawGradient, EveryStyleRunsFromItsStartToItsEndColour) {
    const TColor from = 0x000000, to = 0x0000C8;  // red 0 to 200
    auto red = [&](TGradientStyle s, int x, int y) {
        return RedOf(GradientImage(60, 40, from, to, s).At(x, y));
    };
    EXPECT_EQ(red(gsHorizontal2, 5, 20), 0);  // From along the middle row
    EXPECT_EQ(red(gsHorizontal2, 5, 0), 200);
    EXPECT_EQ(red(gsVertical2, 30, 5), 0);
    EXPECT_EQ(red(gsVertical2, 0, 5), 200);
    EXPECT_EQ(red(gsHorizontal3, 5, 13), 0);
    EXPECT_GT(red(gsHorizontal3, 5, 39), red(gsHorizontal3, 5, 20));
    EXPECT_EQ(red(gsVertical3, 20, 5), 0);
    for (TGradientStyle s : {gsElliptic1, gsElliptic2, gsDiamond1, gsDiamond2}) {
        EXPECT_GE(red(s, 0, 0), 190) << s;  // To, or nearly, in the corners
        EXPECT_LT(red(s, 30, 20), 20) << s;
    }
    EXPECT_LT(red(gsElliptic3, 16, 11), 20);  // its centre lies up and to the left
    EXPECT_EQ(red(gsElliptic1, 0, 0), 200);
    EXPECT_EQ(red(gsRectangle, 30, 20), 0);
    EXPECT_GT(red(gsRectangle, 0, 0), 180);
    EXPECT_EQ(red(gsDiamond1, 30, 20), 0);
    EXPECT_LT(red(gsTopLeft, 0, 0), 10);
    EXPECT_GT(red(gsTopLeft, 59, 39), 190);
    EXPECT_LT(red(gsTopRight, 59, 0), 10);
    EXPECT_GT(red(gsTopRight, 0, 39), 190);
}

TEST(DrawGradient, TinyAndEmptyAreasAreSafe) {
    const TSize sizes[] = {{1, 1}, {2, 1}, {1, 2}, {3, 300}, {300, 3}, {0, 5}, {5, -1}};
    for (int s = gsHorizontal1; s <= gsTopRight; ++s)
        for (TSize size : sizes) {
            std::vector<std::string> log;
            TPixels pixels(std::max(size.cx, 1), std::max(size.cy, 1), 0x0000FF);
            TPixelCanvas canvas(pixels, &log);
            DrawGradient(canvas, {0, 0, size.cx, size.cy}, 0xFFFFFF, 0x000000, TGradientStyle(s));
            const bool empty = size.cx <= 0 || size.cy <= 0;
            EXPECT_EQ(log.empty(), empty) << s;
        }
    TPixelBitmap target(4, 4, 0x0000FF);
    DrawGradient(target.Canvas(), {2, 2, 2, 4}, clBlack, clWhite, gsHorizontal1);
    DrawGradient(target.Canvas(), {3, 3, 1, 1}, clBlack, clWhite, gsVertical1);
    EXPECT_EQ(target.At(2, 2), 0x0000FFu);
}

TEST(DrawGradient, CopiesIntoTheTargetRectangleOnly) {
    TPixelBitmap target(10, 10, 0x0000FF);
    DrawGradient(target.Canvas(), {2, 3, 8, 6}, clBlack, clWhite, gsHorizontal1);
    EXPECT_EQ(target.At(1, 3), 0x0000FFu);
    EXPECT_EQ(target.At(2, 3), clBlack);
    EXPECT_EQ(target.At(7, 5), Grey(170));
    EXPECT_EQ(target.At(8, 5), 0x0000FFu);
    EXPECT_EQ(target.At(7, 6), 0x0000FFu);
    // One bitmap, drawn once.
    std::vector<std::string> log;
    TPixels pixels(10, 10);
    TPixelCanvas canvas(pixels, &log);
    DrawGradient(canvas, {2, 3, 8, 6}, clBlack, clWhite, gsHorizontal1);
    EXPECT_EQ(log.front(), "NewBitmap(6,3)");
    EXPECT_EQ(log.back(), "Draw(2,3,6,3,copy)");
}
