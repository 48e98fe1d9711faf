// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "WidgetTesting.h"
#include "widgets/AlignedText.h"
#include "widgets/FlashThread.h"
#include "widgets/FlashTimer.h"
#include "widgets/qt/QtControl.h"

namespace {

// The window's LED: 113 x 33 at (16, 64), caption "Отклик от БК", everything else default.
struct WindowLed : ::testing::Test {
    HostWindow window;
    TQtAbLED led{&window};
    void SetUp() override {
        led.setGeometry(16, 64, 113, 33);
        led.SetCaption("Отклик от БК");
        window.ShowExposed();
    }
    QImage Screen() { return window.ScreenOf(&led); }
    TColor LampCentre() { return PixelAt(Screen(), 6, 16); }
};

int CountOf(const QImage& image, const QRect& area, TColor colour) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += PixelAt(image, x, y) == colour;
    return n;
}

}  // namespace

TEST_F(WindowLed, LampSitsLeftAndCaptionIsCentredBesideIt) {
    EXPECT_EQ(led.LampRect(), (TRect{0, 10, 13, 23}));
    const QImage screen = Screen();
    // The caption as DrawAlignedText writes it at (18, 16), middle-left, on the window colour.
    QImage expected(113, 33, QImage::Format_RGB32);
    expected.fill(ToQColor(clBtnFace));
    {
        TQtCanvas p(expected);
        p.SetFont(led.Font());
        p.SetBrush(clBtnFace, bsClear);
        p.SetFontColor(clBlack);
        DrawAlignedText(p, 18, 16, taMiddleLeft, led.Caption());
    }
    for (int y = 0; y < 33; ++y)
        for (int x = 13; x < 113; ++x)
            ASSERT_EQ(PixelAt(screen, x, y), PixelAt(expected, x, y)) << x << "," << y;
    EXPECT_GT(CountOf(screen, QRect(18, 0, 95, 33), clBlack), 20);
    // Outside the lamp's rectangle only the window shows.
    EXPECT_EQ(CountOf(screen, QRect(0, 0, 13, 10), Grey(0xF0)), 130);
    EXPECT_EQ(CountOf(screen, QRect(0, 23, 13, 10), Grey(0xF0)), 130);
}

TEST_F(WindowLed, CheckedLightsTheLampInLimeAndUncheckedInTheFaceColour) {
    EXPECT_EQ(LampCentre(), Grey(0xF0));
    EXPECT_EQ(PixelAt(Screen(), 0, 16), Grey(0xA0));  // the outline
    led.SetChecked(true);
    EXPECT_EQ(LampCentre(), clLime);
    led.SetChecked(false);
    EXPECT_EQ(LampCentre(), Grey(0xF0));
}

TEST_F(WindowLed, GlintIsTheUpperLeftQuarterOfTheInnerCircle) {
    led.SetChecked(true);
    const QImage lamp = Screen().copy(0, 10, 13, 13);
    const int upperLeft = CountOf(lamp, QRect(0, 0, 6, 6), clWhite);
    EXPECT_GE(upperLeft, 4);
    EXPECT_EQ(CountOf(lamp, QRect(0, 0, 13, 13), clWhite), upperLeft);
    EXPECT_EQ(CountOf(lamp, QRect(0, 0, 2, 13), clWhite), 0);  // inside (2, 2, 11, 11)
    EXPECT_EQ(CountOf(lamp, QRect(0, 0, 13, 2), clWhite), 0);
}

TEST_F(WindowLed, SetCheckedRepaintsOnlyTheLamp) {
    PaintCounter ledPaints(&led), windowPaints(&window);
    const int fullPaints = led.FullPaintCount();
    led.SetChecked(true);
    EXPECT_EQ(ledPaints.count, 1);
    EXPECT_EQ(ledPaints.region, QRegion(0, 10, 13, 13));
    EXPECT_TRUE((windowPaints.region - QRegion(16, 74, 13, 13)).isEmpty());
    Settle();
    EXPECT_EQ(led.FullPaintCount(), fullPaints);
    EXPECT_EQ(ledPaints.count, 1) << "and nothing later either";
}

TEST_F(WindowLed, LampSettingsRepaintTheWholeControl) {
    const int fullPaints = led.FullPaintCount();
    led.LED().SetColorOff(0x0000FF);
    EXPECT_EQ(led.FullPaintCount(), fullPaints + 1);
    EXPECT_EQ(LampCentre(), 0x0000FFu);
    led.LED().SetWidth(3);
    led.LED().SetHeight(31);
    EXPECT_EQ(led.FullPaintCount(), fullPaints + 1);
    led.LED().SetWidth(20);
    led.LED().SetHeight(10);
    EXPECT_EQ(led.LampRect(), (TRect{0, 6, 20, 26})) << "a round lamp is a circle";
    led.SetSpacing(9);
    led.SetCaption("x");
    EXPECT_EQ(led.FullPaintCount(), fullPaints + 5);
}

TEST_F(WindowLed, HiddenLedIgnoresStateAndShowsItWhenShownAgain) {
    led.hide();
    PaintCounter paints(&led);
    led.SetChecked(true);
    EXPECT_EQ(paints.count, 0);
    led.show();
    EXPECT_EQ(LampCentre(), clLime);
}

TEST_F(WindowLed, FlashingAlternatesAndUncheckingLeavesItDark) {
    ASSERT_FALSE(TFlashThread::Running());
    led.SetFlashing(true);
    led.SetChecked(true);
    TFlashTimer::SetTickCounter(7);
    TFlashTimer::Tick();  // 8: on
    Settle();
    EXPECT_EQ(LampCentre(), clLime);
    for (int i = 0; i < 8; ++i)
        TFlashTimer::Tick();  // 16: off
    Settle();
    EXPECT_EQ(LampCentre(), Grey(0xF0));
    EXPECT_TRUE(led.Checked());
    for (int i = 0; i < 8; ++i)
        TFlashTimer::Tick();  // 24: on
    Settle();
    EXPECT_EQ(LampCentre(), clLime);
    led.SetChecked(false);
    EXPECT_EQ(LampCentre(), Grey(0xF0));
    EXPECT_EQ(TFlashTimer::Count(), 0u);
}
