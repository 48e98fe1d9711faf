// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>

#include "WidgetTesting.h"
#include "widgets/AbColBitBtn.h"
#include "widgets/AlignedText.h"

namespace {
using Button = OnPicture<TAbColBitBtn>;
}  // namespace

TEST(Button, GlyphCellsFollowStateAndEnabledAndSkipTheTransparentColour) {
    TOwner window;
    Button button(&window, 64, 33);
    TPixels strip(18, 6);
    const TColor cells[] = {clRed, clLime, clBlue}, magenta = 0xFF00FF;
    for (int i = 0; i < 3; ++i) {
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x)
                strip.At(6 * i + x, y) = cells[i];
        strip.At(6 * i, 5) = magenta;  // each cell's bottom-left is see-through
    }
    button.SetGlyph(strip);
    button.SetNumGlyph(0);  // ignored
    button.SetNumGlyph(3);
    button.PaintNow();
    // Face C = (4, 4, 60, 29): cx 32, cy 16; a 6 x 6 cell at (29, 13).
    auto cellAt = [&](int shift) {
        EXPECT_NE(button.At(29 + shift, 18 + shift), magenta);
        return button.At(31 + shift, 15 + shift);
    };
    EXPECT_EQ(cellAt(0), clRed);
    button.SetChecked(true);
    EXPECT_EQ(cellAt(1), clBlue);
    button.SetEnabled(false);
    EXPECT_EQ(cellAt(1), clLime);
    button.SetGlyph(TPixels());
    EXPECT_EQ(button.NumGlyph(), 1);
}

TEST(Button, StateChangesRecomposeOverTheFaceWithoutANewGradient) {
    TOwner window;
    Button button(&window, 345, 33);
    button.SetTextOff("Старт BootLoader");
    button.SetTextOn("BootLoader запущен");
    button.recording = true;
    button.PaintNow();
    EXPECT_EQ(button.At(10, 4), Grey(0xF0));  // the gradient's first row, inside the bevel
    button.log.clear();
    button.SetChecked(true);
    EXPECT_EQ(button.paints, 1);
    EXPECT_EQ(button.drawn, (TRect{0, 0, 345, 33}));
    for (const std::string& call : button.log)
        EXPECT_EQ(call.find("NewBitmap"), std::string::npos) << call;
    EXPECT_EQ(button.log.front(), "CopyToBitmap(0,0,345,33)");
    EXPECT_EQ(button.log.back(), "Draw(0,0,345,33,copy)");
    // The text drawn three times (engraved), the last in place, shifted by the press.
    int texts = 0;
    for (const std::string& call : button.log)
        texts += call.rfind("TextOut(", 0) == 0;
    EXPECT_EQ(texts, 3);
    button.focused = true;
    button.log.clear();
    button.SetChecked(false);
    EXPECT_NE(std::find(button.log.begin(), button.log.end(), "DrawFocusRect(5,5,340,28)"),
              button.log.end());
}

TEST(ButtonLayout, ContentBoxByGlyphSideAndPlacement) {
    const TRect face{4, 4, 104, 44};
    const TSize glyph{10, 8};
    struct Case {
        TPos pos;
        TPosH h;
        TPosV v;
        TSize glyph;
        int textWidth;
        TPoint g, t;
        int anchor;
    } cases[] = {
        {pLeft, phCenter, pvCenter, glyph, 30, {32, 20}, {46, 24}, taMiddleLeft},
        {pRight, phLeft, pvTop, glyph, 30, {38, 5}, {34, 9}, taMiddleRight},
        {pTop, phRight, pvBottom, glyph, 30, {84, 22}, {89, 34}, taTopCenter},
        {pBottom, phCenter, pvCenter, glyph, 30, {49, 27}, {54, 23}, taBottomCenter},
        {pLeft, phCenter, pvCenter, TSize{0, 0}, 30, {39, 24}, {39, 24}, taMiddleLeft},
        {pRight, phCenter, pvCenter, glyph, 0, {49, 20}, {49, 24}, taMiddleRight},
    };
    for (const Case& c : cases) {
        const TButtonLayout l =
            LayoutButtonContent(face, {c.glyph, c.textWidth, 11, 4, c.h, c.v, c.pos, {0, 0}});
        EXPECT_EQ(l.glyph, c.g) << c.pos << c.h << c.v;
        EXPECT_EQ(l.text, c.t) << c.pos << c.h << c.v;
        EXPECT_EQ(l.anchor, c.anchor);
        const TButtonLayout shifted =
            LayoutButtonContent(face, {c.glyph, c.textWidth, 11, 4, c.h, c.v, c.pos, {2, 3}});
        EXPECT_EQ(shifted.glyph, (c.g + TPoint{2, 3}));
        EXPECT_EQ(shifted.text, (c.t + TPoint{2, 3}));
    }
}
