// SPDX-License-Identifier: MIT
#pragma once
// Helpers shared by the Qt widget tests: a shown host window, pixel reads and paint counting.
#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QPaintEvent>
#include <QRect>
#include <QRegion>
#include <QWidget>
#include <QtTest/QTest>

#include "support/CanvasFigures.h"
#include "widgets/PixelCanvas.h"
#include "widgets/qt/QtCanvas.h"

// Pixel as a colour value (0x00BBGGRR), to compare with the constants of the widgets.
inline TColor PixelAt(const QImage& image, int x, int y) {
    return FromQColor(image.pixelColor(x, y));
}

// The bounding box of the pixels of one colour within `area` (the whole image by default).
inline QRect InkOf(const QImage& image, TColor colour, QRect area = QRect()) {
    if (area.isNull()) area = image.rect();
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (PixelAt(image, x, y) == colour) box |= QRect(x, y, 1, 1);
    return box;
}

inline void Settle() {
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

// A top-level window in the desktop's button-face colour, shown and exposed.
class HostWindow : public QWidget {
public:
    explicit HostWindow(int w = 350, int h = 167) {
        resize(w, h);
        setAutoFillBackground(true);
    }
    void ShowExposed() {
        show();
        (void)QTest::qWaitForWindowExposed(this);
        Settle();
    }
    // What the screen shows of `child` (the window's background beneath it included).
    QImage ScreenOf(const QWidget* child) {
        Settle();
        return grab(child->geometry()).toImage().convertToFormat(QImage::Format_RGB32);
    }
};

// Counts the paint events a widget receives and the region they cover.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* target) { target->installEventFilter(this); }
    int count = 0;
    QRegion region;
    void Reset() {
        count = 0;
        region = QRegion();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++count;
            region += static_cast<QPaintEvent*>(event)->region();
        }
        return false;
    }
};
