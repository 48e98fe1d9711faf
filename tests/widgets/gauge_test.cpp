// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <climits>

#include "WidgetTesting.h"
#include "widgets/Gauge.h"

namespace {

// The window's gauge: 350 x 25, every setting at its default.
struct WindowGauge : ::testing::Test {
    HostWindow window;
    TGauge gauge{&window};
    void SetUp() override { gauge.setGeometry(0, 142, 350, 25); }
    QImage Picture(bool text = true) {
        gauge.SetShowText(text);
        return gauge.PaintImage();
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

}  // namespace

TEST_F(WindowGauge, EmptyGaugeIsWhiteInsideABlackFrameWithBlackCentredText) {
    const QImage image = Picture();
    for (int x = 0; x < 350; ++x) {
        ASSERT_EQ(PixelAt(image, x, 0), clBlack);
        ASSERT_EQ(PixelAt(image, x, 24), clBlack);
    }
    for (int y = 0; y < 25; ++y) {
        ASSERT_EQ(PixelAt(image, 0, y), clBlack);
        ASSERT_EQ(PixelAt(image, 349, y), clBlack);
    }
    const QFontMetrics fm(gauge.font());
    const QRect box((349 - fm.horizontalAdvance("0%")) / 2, (24 - fm.height()) / 2,
                    fm.horizontalAdvance("0%"), fm.height());
    int ink = 0;
    for (int y = 1; y < 24; ++y)
        for (int x = 1; x < 349; ++x) {
            const TColor c = PixelAt(image, x, y);
            ASSERT_TRUE(c == clWhite || (c == clBlack && box.contains(x, y))) << x << "," << y;
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
        const QImage image = Picture(false);
        for (int y : {1, 12, 23}) {
            for (int x = 1; x <= c.lastBlack; ++x)
                ASSERT_EQ(PixelAt(image, x, y), clBlack) << c.progress;
            for (int x = c.lastBlack + 1; x < 349; ++x)
                ASSERT_EQ(PixelAt(image, x, y), clWhite) << c.progress << " x " << x;
        }
    }
}

TEST_F(WindowGauge, TextInvertsWhatLiesBeneathIncludingAcrossTheBarEdge) {
    gauge.SetProgress(50);
    const QImage bar = Picture(false), both = Picture(true);
    gauge.SetKind(gkText);
    const QImage textOnly = Picture(true);
    int inverted = 0, whiteOverBar = 0, blackOverBack = 0;
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 350; ++x) {
            const bool ink =
                PixelAt(textOnly, x, y) == clBlack && x > 0 && x < 349 && y > 0 && y < 24;
            const TColor expected = ink ? PixelAt(bar, x, y) ^ 0xFFFFFF : PixelAt(bar, x, y);
            ASSERT_EQ(PixelAt(both, x, y), expected) << x << "," << y;
            inverted += ink;
            whiteOverBar += ink && x <= 173;
            blackOverBack += ink && x > 173;
        }
    EXPECT_GT(whiteOverBar, 0);
    EXPECT_GT(blackOverBack, 0);
}

TEST(Gauge, PercentDoneTruncatesAndSurvivesExtremeRanges) {
    HostWindow window;
    TGauge g(&window);
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
    HostWindow window;
    TGauge g(&window);
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
    HostWindow window;
    TGauge g(&window);
    g.SetLoading(true);
    g.SetMinValue(500);
    g.SetMaxValue(1000);
    g.SetLoading(false);
    EXPECT_EQ(g.MinValue(), 500);
    EXPECT_EQ(g.MaxValue(), 1000);
    EXPECT_EQ(g.Progress(), 500);
}

TEST(Gauge, ProgressRepaintsOnlyWhenTheWholePercentageChanges) {
    HostWindow window;
    TGauge g(&window);
    g.setGeometry(0, 142, 350, 25);
    g.SetMaxValue(1000);
    window.ShowExposed();
    PaintCounter paints(&g);
    g.SetProgress(9);  // still 0 %
    EXPECT_EQ(paints.count, 0);
    EXPECT_EQ(g.Progress(), 9);
    g.SetProgress(10);
    EXPECT_EQ(paints.count, 1);
    g.SetProgress(19);
    g.SetProgress(19);
    EXPECT_EQ(paints.count, 1);
    g.SetMaxValue(10);  // lowers Progress and repaints
    EXPECT_EQ(g.Progress(), 10);
    EXPECT_EQ(paints.count, 2);
    EXPECT_EQ(window.ScreenOf(&g), g.PaintImage()) << "the screen shows the picture";
}

TEST(Gauge, VerticalBarTextKindAndNoFrame) {
    HostWindow window;
    TGauge g(&window);
    g.resize(10, 50);
    g.SetShowText(false);
    g.SetKind(gkVerticalBar);
    g.SetProgress(50);
    QImage image = g.PaintImage();
    EXPECT_EQ(PixelAt(image, 5, 24), clWhite);
    EXPECT_EQ(PixelAt(image, 5, 25), clBlack);
    g.SetProgress(100);
    EXPECT_EQ(PixelAt(g.PaintImage(), 5, 1), clBlack);

    g.SetKind(gkText);
    g.SetBackColor(0x00FF00);
    EXPECT_EQ(PixelAt(g.PaintImage(), 5, 25), 0x00FF00u);
    g.SetKind(gkHorizontalBar);
    g.SetBorderStyle(bsNone);
    image = g.PaintImage();
    EXPECT_EQ(PixelAt(image, 0, 0), clBlack);
    EXPECT_EQ(PixelAt(image, 9, 49), clBlack);
}

TEST(Gauge, PieAndNeedleShowTheirShare) {
    HostWindow window;
    TGauge g(&window);
    g.resize(61, 61);
    g.SetShowText(false);
    g.SetKind(gkPie);
    g.SetProgress(25);
    QImage image = g.PaintImage();
    EXPECT_EQ(PixelAt(image, 40, 20), clBlack);  // upper right: the slice
    EXPECT_EQ(PixelAt(image, 20, 20), clWhite);
    EXPECT_EQ(PixelAt(image, 40, 40), clWhite);
    g.SetKind(gkNeedle);
    g.SetColor(0x0000FF);
    image = g.PaintImage();
    EXPECT_EQ(PixelAt(image, 2, 2), 0x0000FFu);
    EXPECT_EQ(PixelAt(image, 30, 40), clWhite);
}
