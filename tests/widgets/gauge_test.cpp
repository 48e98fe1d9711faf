// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <climits>

#include "WidgetTesting.h"
#include "widgets/Gauge.h"

namespace {

using Gauge = OnPicture<TGauge>;

// The window's gauge: 350 x 25, every setting at its default.
struct WindowGauge : ::testing::Test {
    Gauge gauge{nullptr, 350, 25};
    const TPixels& Picture(bool text = true) {
        gauge.SetShowText(text);
        gauge.PaintNow();
        return gauge.screen;
    }
};

std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EInvalidOperation& e) {
        return e.what();
    }
    return "(no error)";
}

TSize ExtentOf(const std::string& text) {
    TPixelBitmap measure(1, 1);
    return measure.Canvas().TextExtent(text);
}

}  // namespace

TEST_F(WindowGauge, EmptyGaugeIsWhiteInsideABlackFrameWithBlackCentredText) {
    const TPixels& image = Picture();
    for (int x = 0; x < 350; ++x) {
        ASSERT_EQ(image.At(x, 0), clBlack);
        ASSERT_EQ(image.At(x, 24), clBlack);
    }
    for (int y = 0; y < 25; ++y) {
        ASSERT_EQ(image.At(0, y), clBlack);
        ASSERT_EQ(image.At(349, y), clBlack);
    }
    const TSize e = ExtentOf("0%");
    const int left = (349 - e.cx) / 2, top = (24 - e.cy) / 2;
    const TRect box{left, top, left + e.cx, top + e.cy};
    int ink = 0;
    for (int y = 1; y < 24; ++y)
        for (int x = 1; x < 349; ++x) {
            const TColor c = image.At(x, y);
            ASSERT_TRUE(c == clWhite || (c == clBlack && box.Contains(x, y))) << x << "," << y;
            ink += c == clBlack;
        }
    EXPECT_GT(ink, 10);
}

TEST_F(WindowGauge, BarReachesAbsoluteColumnOfItsSize) {
    struct Case {
        int progress, lastBlack;
    } cases[] = {{0, 0}, {50, 173}, {100, 348}, {1, 2}};
    for (const Case& c : cases) {
        gauge.SetProgress(c.progress);
        const TPixels& image = Picture(false);
        for (int y : {1, 12, 23}) {
            for (int x = 1; x <= c.lastBlack; ++x)
                ASSERT_EQ(image.At(x, y), clBlack) << c.progress;
            for (int x = c.lastBlack + 1; x < 349; ++x)
                ASSERT_EQ(image.At(x, y), clWhite) << c.progress << " x " << x;
        }
    }
}

TEST_F(WindowGauge, TextInvertsWhatLiesBeneathIncludingAcrossTheBarEdge) {
    gauge.SetProgress(50);
    const TPixels bar = Picture(false), both = Picture(true);
    gauge.SetKind(gkText);
    const TPixels textOnly = Picture(true);
    int whiteOverBar = 0, blackOverBack = 0;
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 350; ++x) {
            const bool ink = textOnly.At(x, y) == clBlack && x > 0 && x < 349 && y > 0 && y < 24;
            const TColor expected = ink ? bar.At(x, y) ^ 0xFFFFFF : bar.At(x, y);
            ASSERT_EQ(both.At(x, y), expected) << x << "," << y;
            whiteOverBar += ink && x <= 173;
            blackOverBack += ink && x > 173;
        }
    EXPECT_GT(whiteOverBar, 0);
    EXPECT_GT(blackOverBack, 0);
}

TEST_F(WindowGauge, PaintsOffScreenAndReachesTheScreenInOneCopy) {
    gauge.recording = true;
    gauge.PaintNow();
    const std::vector<std::string> expected = {
        "NewBitmap(350,25)",         "Draw(0,0,350,25,blackness)", "NewBitmap(350,25)",
        "FillRect(0,0,350,25)",      "Draw(0,0,350,25,blackness)", "FillRect(1,1,349,24)",
        "Draw(0,0,350,25,xor)",      "NewBitmap(350,25)",          "FillRect(0,0,350,25)",
        "Draw(0,0,350,25,blackness)"};
    ASSERT_GT(gauge.log.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(gauge.log.begin(), gauge.log.begin() + 10), expected);
    EXPECT_EQ(gauge.log[gauge.log.size() - 2], "Draw(0,0,350,25,xor)");
    EXPECT_EQ(gauge.log.back(), "Draw(0,0,350,25,copy)");
}

TEST(Gauge, PercentDoneTruncatesAndSurvivesExtremeRanges) {
    TGauge g;
    g.SetMaxValue(7);
    g.SetProgress(2);
    EXPECT_EQ(g.PercentDone(), 28);
    g.SetProgress(99);
    EXPECT_EQ(g.Progress(), 7);
    g.SetProgress(-5);
    EXPECT_EQ(g.Progress(), 0);
    g.SetMaxValue(0);
    EXPECT_EQ(g.PercentDone(), 0);  // an empty range shows 0 %
    g.SetMinValue(INT_MIN);
    g.SetMaxValue(INT_MAX);
    g.SetProgress(INT_MAX);
    EXPECT_EQ(g.PercentDone(), 100);
    g.SetProgress(0);
    EXPECT_EQ(g.PercentDone(), 50);
}

TEST(Gauge, CrossingRangeIsRefusedWithItsMessageAndChangesNothing) {
    TGauge g;
    g.SetProgress(40);
    EXPECT_EQ(MessageOf([&] { g.SetMaxValue(-1); }), "Value must be between 1 and 2147483647");
    EXPECT_EQ(MessageOf([&] { g.SetMinValue(101); }), "Value must be between -2147483647 and 99");
    EXPECT_EQ(g.MinValue(), 0);
    EXPECT_EQ(g.MaxValue(), 100);
    EXPECT_EQ(MessageOf([&] { g.SetMaxValue(0); }), "(no error)");  // equal ends are fine
    EXPECT_EQ(g.Progress(), 0);                                     // pulled down into the range
    g.SetMinValue(INT_MIN);
    g.SetMaxValue(INT_MIN);
    EXPECT_EQ(MessageOf([&] { g.SetMinValue(0); }),
              "Value must be between -2147483647 and -2147483649");
    g.SetMaxValue(INT_MAX);
    g.SetMinValue(INT_MAX);
    EXPECT_EQ(MessageOf([&] { g.SetMaxValue(0); }),
              "Value must be between 2147483648 and 2147483647");
}

TEST(Gauge, WhileLoadingTheEndsMayCrossInEitherOrder) {
    TGauge g;
    g.SetLoading(true);
    g.SetMinValue(500);
    g.SetMaxValue(1000);
    g.SetLoading(false);
    EXPECT_EQ(g.MinValue(), 500);
    EXPECT_EQ(g.MaxValue(), 1000);
    EXPECT_EQ(g.Progress(), 500);
}

TEST(Gauge, ProgressRepaintsOnlyWhenTheWholePercentageChanges) {
    Gauge g(nullptr, 350, 25);
    g.SetMaxValue(1000);
    const int before = g.paints;
    g.SetProgress(9);  // still 0 %
    EXPECT_EQ(g.paints, before);
    EXPECT_EQ(g.Progress(), 9);
    g.SetProgress(10);
    EXPECT_EQ(g.paints, before + 1);
    g.SetProgress(19);
    g.SetProgress(19);
    EXPECT_EQ(g.paints, before + 1);
    g.SetMaxValue(10);  // lowers Progress and repaints
    EXPECT_EQ(g.Progress(), 10);
    EXPECT_EQ(g.paints, before + 2);
}

TEST(Gauge, VerticalBarTextKindAndNoFrame) {
    Gauge g(nullptr, 10, 50);
    g.SetShowText(false);
    g.SetKind(gkVerticalBar);
    g.SetProgress(50);
    EXPECT_EQ(g.At(5, 24), clWhite);
    EXPECT_EQ(g.At(5, 25), clBlack);
    g.SetProgress(100);
    EXPECT_EQ(g.At(5, 1), clBlack);

    g.SetKind(gkText);
    g.SetBackColor(0x00FF00);
    EXPECT_EQ(g.At(5, 25), 0x00FF00u);
    g.SetKind(gkHorizontalBar);
    g.SetBorderStyle(bsNone);
    EXPECT_EQ(g.At(0, 0), clBlack);
    EXPECT_EQ(g.At(9, 49), clBlack);
}

TEST(Gauge, PieAndNeedleShowTheirShare) {
    Gauge g(nullptr, 61, 61);
    g.SetShowText(false);
    g.SetKind(gkPie);
    g.SetProgress(25);
    EXPECT_EQ(g.At(40, 20), clBlack);  // upper right: the slice
    EXPECT_EQ(g.At(20, 20), clWhite);
    EXPECT_EQ(g.At(40, 40), clWhite);
    g.SetKind(gkNeedle);
    g.SetColor(0x0000FF);
    EXPECT_EQ(g.At(2, 2), 0x0000FFu);
    EXPECT_EQ(g.At(30, 40), clWhite);
}
