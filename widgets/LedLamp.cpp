// SPDX-License-Identifier: MIT
#include "widgets/LedLamp.h"

#include <QPolygon>

void TLED::DrawLamp(QPainter& canvas, bool lit) const {
    const TRect& r = lampRect_;
    if (r.IsEmpty()) return;
    SetFigurePen(canvas, ToQColor(clBtnShadow), ToQColor(lit ? colorOn_ : colorOff_));
    const int w = r.Width(), hw = w / 2, hh = r.Height() / 2;
    const int L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
    auto triangle = [&](QPoint a, QPoint b, QPoint c) {
        const QPoint points[] = {a, b, c};
        canvas.drawPolygon(points, 3);
    };
    switch (shape_) {
        case sRound: {
            canvas.drawEllipse(FigureRect(r));
            // The glint: the upper-left quarter of a smaller concentric circle.
            TRect glint = r;
            glint.Inflate(-(w / 5));
            if (glint.IsEmpty()) break;
            QPen pen(ToQColor(clBtnHighlight));
            pen.setWidth(std::max(1, w / 8));
            pen.setCapStyle(Qt::FlatCap);
            canvas.setPen(pen);
            canvas.setBrush(Qt::NoBrush);
            canvas.drawArc(FigureRect(glint), 90 * 16, 90 * 16);
            break;
        }
        case sArrowLeft:
            triangle({L, T + hh}, {R - 1, T}, {R - 1, B - 1});
            break;
        case sArrowRight:
            triangle({L, T}, {R - 1, T + hh}, {L, B - 1});
            break;
        case sArrowUp:
            triangle({L + hw, T}, {R - 1, B - 1}, {L, B - 1});
            break;
        case sArrowDown:
            triangle({L, T}, {R - 1, T}, {L + hw, B - 1});
            break;
        case sRectangle:
            canvas.drawRect(FigureRect(r));
            break;
    }
}
