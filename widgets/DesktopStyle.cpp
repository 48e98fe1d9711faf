// SPDX-License-Identifier: MIT
#include "widgets/DesktopStyle.h"

#include <QApplication>

QFont DesktopFont(bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    font.setStyleHint(QFont::SansSerif);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setBold(bold);
    return font;
}

QPalette DesktopPalette() {
    const QColor face(0xF0, 0xF0, 0xF0);
    const QColor black(0, 0, 0);
    const QColor white(0xFF, 0xFF, 0xFF);
    QPalette p(face);
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(g, QPalette::Window, face);
        p.setColor(g, QPalette::Button, face);
        p.setColor(g, QPalette::Base, white);
        p.setColor(g, QPalette::AlternateBase, face);
        p.setColor(g, QPalette::Light, white);                        // clBtnHighlight
        p.setColor(g, QPalette::Midlight, QColor(0xE3, 0xE3, 0xE3));  // cl3DLight
        p.setColor(g, QPalette::Mid, QColor(0xAB, 0xAB, 0xAB));       // clAppWorkSpace
        p.setColor(g, QPalette::Dark, QColor(0xA0, 0xA0, 0xA0));      // clBtnShadow
        p.setColor(g, QPalette::Shadow, QColor(0x69, 0x69, 0x69));    // cl3DDkShadow
        p.setColor(g, QPalette::WindowText, black);
        p.setColor(g, QPalette::Text, black);
        p.setColor(g, QPalette::ButtonText, black);
        p.setColor(g, QPalette::BrightText, white);
        p.setColor(g, QPalette::Highlight, QColor(0x33, 0x99, 0xFF));
        p.setColor(g, QPalette::HighlightedText, white);
        p.setColor(g, QPalette::ToolTipBase, QColor(0xFF, 0xFF, 0xE1));
        p.setColor(g, QPalette::ToolTipText, black);
    }
    const QColor gray(0x6D, 0x6D, 0x6D);  // clGrayText
    p.setColor(QPalette::Disabled, QPalette::WindowText, gray);
    p.setColor(QPalette::Disabled, QPalette::Text, gray);
    p.setColor(QPalette::Disabled, QPalette::ButtonText, gray);
    p.setColor(QPalette::Inactive, QPalette::Highlight, QColor(0xBF, 0xCD, 0xDB));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, black);
    return p;
}

void ApplyDesktopStyle(QApplication& app) {
    app.setPalette(DesktopPalette());
    app.setFont(DesktopFont());
}
