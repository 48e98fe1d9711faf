// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "WidgetTesting.h"
#include "widgets/AbBtnBevel.h"
#include "widgets/AbGradSettings.h"
#include "widgets/AlignedText.h"
#include "widgets/DesktopStyle.h"

namespace {

constexpr TColor kRed = 0x0000FF;

}  // namespace

TEST(DrawBevel, RaisedAndSunkenRingsStepThroughTheirRanges) {
    TAbBtnBevel bevel;
    bevel.SetWidth(4);
    for (bool raised : {true, false}) {
        TPixelBitmap image(20, 12, kRed);
        TRect r{0, 0, 20, 12};
        bevel.DrawBevel(image.Canvas(), r, clBtnFace, false, raised);
        EXPECT_EQ(r, (TRect{4, 4, 16, 8}));
        const int top[2][4] = {{0x78, 0x50, 0x28, 0x00}, {0xDD, 0xE8, 0xF4, 0xFF}};
        const int bottom[2][4] = {{0xF4, 0xE9, 0xDD, 0xD2}, {0x28, 0x50, 0x78, 0xA0}};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(image.At(10, i), Grey(top[raised][i])) << raised << i;
            EXPECT_EQ(image.At(i, 6), Grey(top[raised][i])) << raised << i;
            EXPECT_EQ(image.At(10, 11 - i), Grey(bottom[raised][i])) << raised << i;
            EXPECT_EQ(image.At(19 - i, 6), Grey(bottom[raised][i])) << raised << i;
        }
        // The top-right and bottom-left corners of a ring belong to the bottom colour.
        EXPECT_EQ(image.At(19, 0), Grey(bottom[raised][0]));
        EXPECT_EQ(image.At(0, 11), Grey(bottom[raised][0]));
        EXPECT_EQ(image.At(10, 6), kRed) << "the face is not filled";
    }
}

TEST(DrawBevel, WidthZeroOnlyFillsAndNegativeWidthsAreIgnored) {
    TAbBtnBevel bevel;
    int changes = 0;
    bevel.SetOnChange([&](TAbPersistent*) { ++changes; });
    bevel.SetWidth(-3);
    bevel.SetWidth(2);
    EXPECT_EQ(bevel.Width(), 2);
    bevel.SetWidth(0);
    EXPECT_EQ(changes, 1);
    TPixelBitmap image(6, 6, kRed);
    TRect r{1, 1, 5, 5};
    bevel.DrawBevel(image.Canvas(), r, 0x00FF00, true, true);
    EXPECT_EQ(r, (TRect{1, 1, 5, 5}));
    EXPECT_EQ(InkOf(image.Pixels(), 0x00FF00), (TRect{1, 1, 5, 5}));
}

TEST(DrawBevel, RingsWiderThanTheRectangleStayInside) {
    TAbBtnBevel bevel;
    bevel.SetWidth(9);
    TPixelBitmap image(12, 12, kRed);
    TRect r{3, 3, 7, 8};
    bevel.DrawBevel(image.Canvas(), r, clBtnFace, true, true);
    EXPECT_EQ(image.At(2, 5), kRed);
    EXPECT_EQ(image.At(7, 5), kRed);
    EXPECT_EQ(image.At(5, 8), kRed);
}

TEST(Settings, SettersReportOnlyChangesAndAssignCopiesEverything) {
    TAbGradSettings a, b;
    int changes = 0;
    b.SetOnChange([&](TAbPersistent*) { ++changes; });
    EXPECT_EQ(a.ColorFrom(), 0xE2E2E2u);
    EXPECT_FALSE(a.Visible());
    a.SetStyle(gsDiamond2);
    a.SetVisible(true);
    a.SetColorTo(clLime);
    b.SetColorFrom(0xE2E2E2);
    EXPECT_EQ(changes, 0);
    b.Assign(a);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(b.Style(), gsDiamond2);
    EXPECT_TRUE(b.Visible());
    EXPECT_EQ(b.ColorTo(), clLime);
}

namespace {

// Text drawn on white with the desktop font, black and without a background.
TPixels TextPicture(int w, int h, const std::function<void(TCanvas&)>& draw) {
    TPixelBitmap image(w, h, clWhite);
    TCanvas& c = image.Canvas();
    c.SetFont(DesktopFont());
    c.SetBrush(clWhite, bsClear);
    draw(c);
    return image.Pixels();
}

}  // namespace

TEST(AlignedText, NineAnchorsPlaceTheTextCorner) {
    const std::string text = "Ж";
    const TPixels reference =
        TextPicture(80, 60, [&](TCanvas& c) { DrawAlignedText(c, 20, 10, taTopLeft, text); });
    const TRect ink = InkOf(reference, clBlack);
    ASSERT_FALSE(ink.IsEmpty());
    TPixelBitmap measure(1, 1);
    const TSize e = measure.Canvas().TextExtent(text);
    for (int kind = taTopLeft; kind <= taBottomRight; ++kind) {
        const TPixels image =
            TextPicture(80, 60, [&](TCanvas& c) { DrawAlignedText(c, 40, 30, kind, text); });
        const int left = kind % 3 == 0 ? 40 : kind % 3 == 1 ? 40 - e.cx / 2 : 40 - e.cx;
        const int top = kind / 3 == 0 ? 30 : kind / 3 == 1 ? 30 - e.cy / 2 : 30 - e.cy;
        TRect expected = ink;
        expected.Left += left - 20, expected.Right += left - 20;
        expected.Top += top - 10, expected.Bottom += top - 10;
        EXPECT_EQ(InkOf(image, clBlack), expected) << kind;
    }
}

TEST(AlignedText, OpaqueBackgroundFillsTheTextBox) {
    const TPixels image = TextPicture(60, 30, [](TCanvas& c) {
        c.SetBrush(0xFF0000, bsSolid);
        DrawAlignedText(c, 5, 5, taTopLeft, "ab");
    });
    TPixelBitmap measure(1, 1);
    const TSize e = measure.Canvas().TextExtent("ab");
    EXPECT_EQ(InkOf(image, 0xFF0000), (TRect{5, 5, 5 + e.cx, 5 + e.cy}));
}

TEST(AlignedText, ThreeDTextAddsHighlightBelowRightAndShadowAboveLeft) {
    auto draw = [](bool is3D) {
        TPixelBitmap image(60, 30, 0x808080);
        image.Canvas().SetBrush(clWhite, bsClear);
        DrawText3D(image.Canvas(), 10, 8, is3D, taTopLeft, "I", clWhite, 0x0000FF, clBlack);
        return image.Pixels();
    };
    const TPixels flat = draw(false), raised = draw(true);
    const TRect ink = InkOf(flat, clBlack);
    EXPECT_TRUE(InkOf(flat, clWhite).IsEmpty());
    EXPECT_TRUE(InkOf(flat, 0x0000FF).IsEmpty());
    EXPECT_EQ(InkOf(raised, clBlack), ink);
    // The text covers all but the outer edge of each copy.
    const TRect white = InkOf(raised, clWhite), red = InkOf(raised, 0x0000FF);
    EXPECT_EQ((TPoint{white.Right, white.Bottom}), (TPoint{ink.Right + 1, ink.Bottom + 1}));
    EXPECT_EQ((TPoint{red.Left, red.Top}), (TPoint{ink.Left - 1, ink.Top - 1}));
}
