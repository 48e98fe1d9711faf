// SPDX-License-Identifier: MIT
#include "widgets/AlignedText.h"

#include <QFontMetrics>

QSize TextExtent(const QPainter& canvas, const QString& text) {
    const QFontMetrics fm(canvas.font());
    return QSize(fm.horizontalAdvance(text), fm.height());
}

void DrawAlignedText(QPainter& canvas, int x, int y, int kind, const QString& text) {
    if (kind < taTopLeft || kind > taBottomRight) kind = taTopLeft;
    const QSize e = TextExtent(canvas, text);
    const int column = kind % 3, line = kind / 3;
    const int left = column == 0 ? x : column == 1 ? x - e.width() / 2 : x - e.width();
    const int top = line == 0 ? y : line == 1 ? y - e.height() / 2 : y - e.height();
    const QFontMetrics fm(canvas.font());
    if (canvas.backgroundMode() == Qt::OpaqueMode) {
        canvas.fillRect(QRect(left, top, e.width(), e.height()), canvas.background());
        canvas.setBackgroundMode(Qt::TransparentMode);
        canvas.drawText(left, top + fm.ascent(), text);
        canvas.setBackgroundMode(Qt::OpaqueMode);
        return;
    }
    canvas.drawText(left, top + fm.ascent(), text);
}

void DrawText3D(QPainter& canvas, int x, int y, bool is3D, int kind, const QString& text,
                TColor highlight, TColor shadow, TColor colour) {
    if (is3D) {
        canvas.setPen(ToQColor(highlight));
        DrawAlignedText(canvas, x + 1, y + 1, kind, text);
        canvas.setPen(ToQColor(shadow));
        DrawAlignedText(canvas, x - 1, y - 1, kind, text);
    }
    canvas.setPen(ToQColor(colour));
    DrawAlignedText(canvas, x, y, kind, text);
}
