// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QFontMetrics>
#include <QPainter>

#include "WidgetTesting.h"
#include "widgets/AbColBitBtn.h"
#include "widgets/AlignedText.h"
#include "widgets/DesktopStyle.h"
#include "widgets/FlashTimer.h"

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
    TAbColBitBtn button{&window};
    const QString off = QString::fromUtf8("Старт BootLoader");
    const QString on = QString::fromUtf8("BootLoader запущен");

    void SetUp() override {
        button.setGeometry(0, 104, 345, 33);
        button.SetMode(mSwitch);
        button.SetTextOff(off);
        button.SetTextOn(on);
        button.setFont(DesktopFont(true));
        window.ShowExposed();
    }
    QImage Screen() { return window.ScreenOf(&button); }
    // Where the text's ink must be: left-aligned from 172 - tw div 2, centred on y 16.
    QRect ExpectedInk(const QString& text, int shift) {
        const QFontMetrics fm(button.font());
        const int tw =
            std::max(fm.horizontalAdvance(button.TextOff()), fm.horizontalAdvance(button.TextOn()));
        QImage reference(345, 33, QImage::Format_RGB32);
        reference.fill(Qt::white);
        QPainter p(&reference);
        p.setFont(button.font());
        p.setPen(Qt::black);
        DrawAlignedText(p, 172 - tw / 2 + shift, 16 + shift, taMiddleLeft, text);
        p.end();
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
    button.SetTextOff(QString());
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
    ASSERT_FALSE(TFlashTimer::Running());
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

TEST(Button, GlyphCellsFollowStateAndEnabledAndSkipTheTransparentColour) {
    HostWindow window;
    TAbColBitBtn button(&window);
    button.setGeometry(0, 0, 64, 33);
    QImage strip(18, 6, QImage::Format_RGB32);
    const QColor cells[] = {Qt::red, Qt::green, Qt::blue};
    for (int i = 0; i < 3; ++i) {
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x)
                strip.setPixelColor(6 * i + x, y, cells[i]);
        strip.setPixelColor(6 * i, 5, Qt::magenta);  // each cell's bottom-left is see-through
    }
    button.SetGlyph(strip);
    button.SetNumGlyph(0);  // ignored
    button.SetNumGlyph(3);
    window.ShowExposed();
    // Face C = (4, 4, 60, 29): cx 32, cy 16; a 6 x 6 cell at (29, 13).
    auto cellAt = [&](int shift) {
        const QImage s = window.ScreenOf(&button);
        EXPECT_NE(PixelAt(s, 29 + shift, 18 + shift), FromQColor(Qt::magenta));
        return s.pixelColor(31 + shift, 15 + shift);
    };
    EXPECT_EQ(cellAt(0), QColor(Qt::red));
    button.SetChecked(true);
    EXPECT_EQ(cellAt(1), QColor(Qt::blue));
    button.SetEnabled(false);
    EXPECT_EQ(cellAt(1), QColor(Qt::green));
    button.SetGlyph(QImage());
    EXPECT_EQ(button.NumGlyph(), 1);
}

TEST(ButtonLayout, ContentBoxByGlyphSideAndPlacement) {
    const TRect face{4, 4, 104, 44};
    const QSize glyph(10, 8);
    struct Case {
        TPos pos;
        TPosH h;
        TPosV v;
        QSize glyph;
        int textWidth;
        QPoint g, t;
        int anchor;
    } cases[] = {
        {pLeft, phCenter, pvCenter, glyph, 30, {32, 20}, {46, 24}, taMiddleLeft},
        {pRight, phLeft, pvTop, glyph, 30, {38, 5}, {34, 9}, taMiddleRight},
        {pTop, phRight, pvBottom, glyph, 30, {84, 22}, {89, 34}, taTopCenter},
        {pBottom, phCenter, pvCenter, glyph, 30, {49, 27}, {54, 23}, taBottomCenter},
        {pLeft, phCenter, pvCenter, QSize(0, 0), 30, {39, 24}, {39, 24}, taMiddleLeft},
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
        EXPECT_EQ(shifted.glyph, c.g + QPoint(2, 3));
        EXPECT_EQ(shifted.text, c.t + QPoint(2, 3));
    }
}
