// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPainter>

#include "WidgetTesting.h"
#include "widgets/AbBtnBevel.h"
#include "widgets/AbGradSettings.h"
#include "widgets/AlignedText.h"
#include "widgets/DesktopStyle.h"

namespace {

constexpr TColor kRed = 0x0000FF;

QImage Canvas(int w, int h, TColor fill = kRed) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(ToQColor(fill));
    return image;
}

}  // namespace

TEST(DrawBevel, RaisedAndSunkenRingsStepThroughTheirRanges) {
    TAbBtnBevel bevel;
    bevel.SetWidth(4);
    for (bool raised : {true, false}) {
        QImage image = Canvas(20, 12);
        QPainter p(&image);
        TRect r{0, 0, 20, 12};
        bevel.DrawBevel(p, r, clBtnFace, false, raised);
        p.end();
        EXPECT_EQ(r, (TRect{4, 4, 16, 8}));
        const int top[2][4] = {{0x78, 0x50, 0x28, 0x00}, {0xDD, 0xE8, 0xF4, 0xFF}};
        const int bottom[2][4] = {{0xF4, 0xE9, 0xDD, 0xD2}, {0x28, 0x50, 0x78, 0xA0}};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(PixelAt(image, 10, i), Grey(top[raised][i])) << raised << i;
            EXPECT_EQ(PixelAt(image, i, 6), Grey(top[raised][i])) << raised << i;
            EXPECT_EQ(PixelAt(image, 10, 11 - i), Grey(bottom[raised][i])) << raised << i;
            EXPECT_EQ(PixelAt(image, 19 - i, 6), Grey(bottom[raised][i])) << raised << i;
        }
        // The top-right and bottom-left corners of a ring belong to the bottom colour.
        EXPECT_EQ(PixelAt(image, 19, 0), Grey(bottom[raised][0]));
        EXPECT_EQ(PixelAt(image, 0, 11), Grey(bottom[raised][0]));
        EXPECT_EQ(PixelAt(image, 10, 6), kRed) << "the face is not filled";
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
    QImage image = Canvas(6, 6);
    QPainter p(&image);
    TRect r{1, 1, 5, 5};
    bevel.DrawBevel(p, r, 0x00FF00, true, true);
    p.end();
    EXPECT_EQ(r, (TRect{1, 1, 5, 5}));
    EXPECT_EQ(InkOf(image, 0x00FF00), QRect(1, 1, 4, 4));
}

TEST(DrawBevel, RingsWiderThanTheRectangleStayInside) {
    TAbBtnBevel bevel;
    bevel.SetWidth(9);
    QImage image = Canvas(12, 12);
    QPainter p(&image);
    TRect r{3, 3, 7, 8};
    bevel.DrawBevel(p, r, clBtnFace, true, true);
    p.end();
    EXPECT_EQ(PixelAt(image, 2, 5), kRed);
    EXPECT_EQ(PixelAt(image, 7, 5), kRed);
    EXPECT_EQ(PixelAt(image, 5, 8), kRed);
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

TEST(AlignedText, NineAnchorsPlaceTheTextCorner) {
    const QString text = QStringLiteral("Ж");
    QImage reference = Canvas(80, 60, clWhite);
    QPainter r(&reference);
    r.setFont(DesktopFont());
    r.setPen(Qt::black);
    DrawAlignedText(r, 20, 10, taTopLeft, text);
    r.end();
    const QRect ink = InkOf(reference, clBlack);
    ASSERT_FALSE(ink.isEmpty());
    const QFontMetrics fm(DesktopFont());
    const int w = fm.horizontalAdvance(text), h = fm.height();
    for (int kind = taTopLeft; kind <= taBottomRight; ++kind) {
        QImage image = Canvas(80, 60, clWhite);
        QPainter p(&image);
        p.setFont(DesktopFont());
        p.setPen(Qt::black);
        DrawAlignedText(p, 40, 30, kind, text);
        p.end();
        const int left = kind % 3 == 0 ? 40 : kind % 3 == 1 ? 40 - w / 2 : 40 - w;
        const int top = kind / 3 == 0 ? 30 : kind / 3 == 1 ? 30 - h / 2 : 30 - h;
        EXPECT_EQ(InkOf(image, clBlack), ink.translated(left - 20, top - 10)) << kind;
    }
}

TEST(AlignedText, OpaqueBackgroundFillsTheTextBox) {
    QImage image = Canvas(60, 30, clWhite);
    QPainter p(&image);
    p.setFont(DesktopFont());
    p.setBackgroundMode(Qt::OpaqueMode);
    p.setBackground(QColor(0, 0, 255));
    DrawAlignedText(p, 5, 5, taTopLeft, QStringLiteral("ab"));
    p.end();
    const QFontMetrics fm(DesktopFont());
    EXPECT_EQ(InkOf(image, 0xFF0000), QRect(5, 5, fm.horizontalAdvance("ab"), fm.height()));
}

TEST(AlignedText, ThreeDTextAddsHighlightBelowRightAndShadowAboveLeft) {
    auto draw = [](bool is3D) {
        QImage image = Canvas(60, 30, 0x808080);
        QPainter p(&image);
        p.setFont(DesktopFont());
        DrawText3D(p, 10, 8, is3D, taTopLeft, QStringLiteral("I"), clWhite, 0x0000FF, clBlack);
        return image;
    };
    const QImage flat = draw(false), raised = draw(true);
    const QRect ink = InkOf(flat, clBlack);
    EXPECT_TRUE(InkOf(flat, clWhite).isEmpty());
    EXPECT_TRUE(InkOf(flat, 0x0000FF).isEmpty());
    EXPECT_EQ(InkOf(raised, clBlack), ink);
    // The text covers all but the outer edge of each copy.
    EXPECT_EQ(InkOf(raised, clWhite).bottomRight(), ink.bottomRight() + QPoint(1, 1));
    EXPECT_EQ(InkOf(raised, 0x0000FF).topLeft(), ink.topLeft() - QPoint(1, 1));
}
