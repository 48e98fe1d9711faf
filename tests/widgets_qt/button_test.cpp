// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <QEnterEvent>

#include "WidgetTesting.h"
#include "widgets/AlignedText.h"
#include "widgets/DesktopStyle.h"
#include "widgets/FlashThread.h"
#include "widgets/FlashTimer.h"
#include "widgets/qt/QtControl.h"

namespace {

const int kRows[] = {0xF0, 0xEA, 0xE5, 0xDF, 0xDA, 0xD4, 0xCF, 0xCA, 0xC4, 0xBF, 0xB9, 0xB4, 0xAF,
                     0xA9, 0xA4, 0x9E, 0x99, 0x94, 0x8E, 0x89, 0x83, 0x7E, 0x79, 0x73, 0x6E};
const int kRaisedTop[] = {0xDD, 0xE8, 0xF4, 0xFF}, kRaisedBottom[] = {0x28, 0x50, 0x78, 0xA0};
const int kSunkenTop[] = {0x78, 0x50, 0x28, 0x00};

// Text lies inside the bevel's rings; the innermost sunken ring is black too.
QRect TextInk(const QImage& image, TColor colour) {
    return InkOf(image, colour, {4, 4, 337, 25});
}

// The window's start button: 345 x 33 at (0, 104), switch mode, its two texts, bold font.
struct WindowButton : ::testing::Test {
    HostWindow window;
    TQtAbColBitBtn button{&window};
    const std::string off = "Старт BootLoader";
    const std::string on = "BootLoader запущен";

    void SetUp() override {
        button.setGeometry(0, 104, 345, 33);
        button.SetMode(mSwitch);
        button.SetTextOff(off);
        button.SetTextOn(on);
        button.SetFont(DesktopFont(true));
        window.ShowExposed();
    }
    QImage Screen() { return window.ScreenOf(&button); }
    // Where the text's ink must be: left-aligned from 172 - tw div 2, centred on y 16.
    QRect ExpectedInk(const std::string& text, int shift) {
        QImage reference(345, 33, QImage::Format_RGB32);
        reference.fill(Qt::white);
        {
            TQtCanvas p(reference);
            p.SetFont(button.Font());
            const int tw =
                std::max(p.TextExtent(button.TextOff()).cx, p.TextExtent(button.TextOn()).cx);
            p.SetBrush(clWhite, bsClear);
            p.SetFontColor(clBlack);
            DrawAlignedText(p, 172 - tw / 2 + shift, 16 + shift, taMiddleLeft, text);
        }
        return InkOf(reference, clBlack);
    }
    void ExpectRings(const QImage& s, const int* top, const int* bottom) {
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(PixelAt(s, 10, i), Grey(top[i])) << "ring " << i;
            if (bottom) {
                EXPECT_EQ(PixelAt(s, 10, 32 - i), Grey(bottom[i])) << "ring " << i;
            }
        }
    }
};

}  // namespace

TEST_F(WindowButton, OffFaceIsTheGradientInARaisedBevelWithBlackText) {
    const QImage s = Screen();
    for (int i = 0; i < 25; ++i)
        EXPECT_EQ(PixelAt(s, 10, 4 + i), Grey(kRows[i])) << "row " << i;
    ExpectRings(s, kRaisedTop, kRaisedBottom);
    EXPECT_EQ(TextInk(s, clBlack), ExpectedInk(off, 0));
    EXPECT_TRUE(InkOf(s, clLime).isEmpty());
    EXPECT_FALSE(InkOf(s, clWhite).isEmpty()) << "engraved: highlight copy";
}

TEST_F(WindowButton, PressTurnsItOnSunkenAndShiftedAndTheClickSeesIt) {
    std::vector<bool> clicks;
    button.SetOnClick([&](TAbBinGControl* b) { clicks.push_back(b->Checked()); });
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(100, 16));
    QImage s = Screen();
    EXPECT_TRUE(button.Checked());
    ExpectRings(s, kSunkenTop, nullptr);
    EXPECT_EQ(TextInk(s, clLime), ExpectedInk(on, 1));
    EXPECT_TRUE(TextInk(s, clBlack).isEmpty());
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(100, 16));
    EXPECT_EQ(clicks, std::vector<bool>{true});
    s = Screen();
    ExpectRings(s, kSunkenTop, nullptr);  // checked keeps the sunken look
    EXPECT_EQ(TextInk(s, clLime), ExpectedInk(on, 1));

    button.SetChecked(false);  // the window drops it back from code
    s = Screen();
    ExpectRings(s, kRaisedTop, kRaisedBottom);
    EXPECT_EQ(TextInk(s, clBlack), ExpectedInk(off, 0));
    EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(WindowButton, SwitchingComposesOverTheLastPaintWithoutRedrawingTheGradient) {
    PaintCounter buttonPaints(&button), windowPaints(&window);
    const int fullPaints = button.FullPaintCount();
    button.SetChecked(true);
    EXPECT_EQ(buttonPaints.count, 1);
    EXPECT_EQ(buttonPaints.region, QRegion(button.rect()));
    EXPECT_TRUE((windowPaints.region - QRegion(button.geometry())).isEmpty());
    button.SetChecked(false);
    Settle();
    EXPECT_EQ(buttonPaints.count, 2);
    EXPECT_EQ(button.FullPaintCount(), fullPaints);
}

TEST_F(WindowButton, EmptyOffTextShowsTheOnText) {
    button.SetTextOff("");
    EXPECT_EQ(TextInk(Screen(), clBlack), ExpectedInk(on, 0));
}

TEST_F(WindowButton, GradientAndBevelChangesRepaintAtRunTime) {
    const int fullPaints = button.FullPaintCount();
    button.GradBtnFace().SetColorFrom(0x0000FF);
    Settle();
    EXPECT_EQ(button.FullPaintCount(), fullPaints + 1);
    EXPECT_EQ(PixelAt(Screen(), 10, 4), 0x0000FFu);
    button.ButtonBevel().SetWidth(2);
    EXPECT_EQ(PixelAt(Screen(), 10, 2), 0x0000FFu) << "the gradient starts inside two rings";
}

TEST_F(WindowButton, DisabledShowsItsColoursAndTakesNoMouse) {
    button.GradBtnFace().SetVisible(false);
    button.SetColorOff(0x00FF00);
    button.SetEnabled(false);
    QImage s = Screen();
    EXPECT_EQ(PixelAt(s, 10, 16), 0xA0A0A0u);
    EXPECT_TRUE(TextInk(s, clBlack).isEmpty());
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(100, 16));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(100, 16));
    EXPECT_FALSE(button.Checked());
    EXPECT_TRUE(button.isEnabled()) << "Qt's own flag stays set";
    button.SetEnabled(true);
    EXPECT_EQ(PixelAt(Screen(), 10, 16), 0x00FF00u);
}

TEST_F(WindowButton, DisabledThroughQtLooksDisabledAndEndsAPressHeldWithoutAClick) {
    button.GradBtnFace().SetVisible(false);
    button.SetColorOff(0x00FF00);
    button.SetMode(mButton);
    int clicks = 0;
    button.SetOnClick([&](TAbBinGControl*) { ++clicks; });
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(100, 16));
    ASSERT_TRUE(button.Checked());
    // Qt sends a disabled widget no release: the press ends here, or the button stays down.
    window.setEnabled(false);
    EXPECT_FALSE(button.Enabled());
    EXPECT_FALSE(button.Checked());
    EXPECT_FALSE(button.Pressed());
    EXPECT_EQ(PixelAt(Screen(), 10, 16), 0xA0A0A0u);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(100, 16));
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(100, 16));
    EXPECT_EQ(clicks, 0);
    window.setEnabled(true);
    EXPECT_TRUE(button.Enabled());
    EXPECT_EQ(PixelAt(Screen(), 10, 16), 0x00FF00u);
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(100, 16));
    EXPECT_EQ(clicks, 1);
}

TEST_F(WindowButton, FlatShowsTheBevelOnlyWhileThePointerIsOver) {
    button.SetFlat(true);
    EXPECT_EQ(PixelAt(Screen(), 10, 0), Grey(0xF0));
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 109), QPointF(5, 109));
    QApplication::sendEvent(&button, &enter);
    EXPECT_TRUE(button.MouseInside());
    EXPECT_EQ(PixelAt(Screen(), 10, 0), Grey(kRaisedTop[0]));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    EXPECT_EQ(PixelAt(Screen(), 10, 0), Grey(0xF0));
}

TEST_F(WindowButton, TransparentLetsTheWindowShowThrough) {
    QPalette p = window.palette();
    p.setColor(QPalette::Window, QColor(0x33, 0x66, 0x99));
    window.setPalette(p);
    button.SetTransparent(true);
    const QImage s = Screen();
    EXPECT_EQ(PixelAt(s, 10, 16), RGBColor(0x33, 0x66, 0x99));
    EXPECT_EQ(TextInk(s, clBlack), ExpectedInk(off, 0));
}

TEST_F(WindowButton, FlashingAlternatesTextAndColourButKeepsTheBevelSunken) {
    ASSERT_FALSE(TFlashThread::Running());
    button.SetFrequency(ff8Hz);
    button.SetFlashing(true);
    button.SetChecked(true);
    TFlashTimer::SetTickCounter(0);
    for (uint32_t tick = 1; tick <= 4; ++tick) {
        TFlashTimer::Tick();
        Settle();
        const QImage s = Screen();
        ExpectRings(s, kSunkenTop, nullptr);
        if (tick == 1) continue;  // the first tick after registering may or may not report
        const bool phaseOn = tick % 2 == 1;
        EXPECT_EQ(TextInk(s, phaseOn ? clLime : clBlack), ExpectedInk(phaseOn ? on : off, 1))
            << tick;
    }
    button.SetChecked(false);
    EXPECT_EQ(TextInk(Screen(), clBlack), ExpectedInk(off, 0));
}
