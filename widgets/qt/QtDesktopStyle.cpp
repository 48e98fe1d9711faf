// SPDX-License-Identifier: MIT
#include "widgets/qt/QtDesktopStyle.h"

#include <iterator>

#include <QApplication>

#include "widgets/DesktopStyle.h"
#include "widgets/SystemColors.h"
#include "widgets/qt/QtCanvas.h"

namespace {

struct TSystemRole {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The one place where the desktop's system colours meet the Qt palette. Numbers are those of
// the system colour constants in Colors.h; DesktopPalette() fills these roles with the stock
// colours, so the two tables go together.
constexpr TSystemRole kRoles[] = {
    {QPalette::Active, QPalette::Button},             // 0 clScrollBar
    {QPalette::Active, QPalette::Mid},                // 1 clBackground
    {QPalette::Active, QPalette::Highlight},          // 2 clActiveCaption
    {QPalette::Inactive, QPalette::Highlight},        // 3 clInactiveCaption
    {QPalette::Active, QPalette::Window},             // 4 clMenu
    {QPalette::Active, QPalette::Base},               // 5 clWindow
    {QPalette::Active, QPalette::Shadow},             // 6 clWindowFrame
    {QPalette::Active, QPalette::WindowText},         // 7 clMenuText
    {QPalette::Active, QPalette::WindowText},         // 8 clWindowText
    {QPalette::Active, QPalette::HighlightedText},    // 9 clCaptionText
    {QPalette::Active, QPalette::Window},             // 10 clActiveBorder
    {QPalette::Active, QPalette::Window},             // 11 clInactiveBorder
    {QPalette::Active, QPalette::Mid},                // 12 clAppWorkSpace
    {QPalette::Active, QPalette::Highlight},          // 13 clHighlight
    {QPalette::Active, QPalette::HighlightedText},    // 14 clHighlightText
    {QPalette::Active, QPalette::Button},             // 15 clBtnFace
    {QPalette::Active, QPalette::Dark},               // 16 clBtnShadow
    {QPalette::Disabled, QPalette::WindowText},       // 17 clGrayText
    {QPalette::Active, QPalette::ButtonText},         // 18 clBtnText
    {QPalette::Inactive, QPalette::HighlightedText},  // 19 clInactiveCaptionText
    {QPalette::Active, QPalette::Light},              // 20 clBtnHighlight
    {QPalette::Active, QPalette::Shadow},             // 21 cl3DDkShadow
    {QPalette::Active, QPalette::Midlight},           // 22 cl3DLight
    {QPalette::Active, QPalette::ToolTipText},        // 23 clInfoText
    {QPalette::Active, QPalette::ToolTipBase},        // 24 clInfoBk
};

class TQtSystemColors final : public TSystemColors {
public:
    TColor SysColor(unsigned number) const override {
        if (number >= std::size(kRoles) || !qGuiApp) return clBlack;
        const TSystemRole& r = kRoles[number];
        return FromQColor(QGuiApplication::palette().color(r.group, r.role));
    }
};

QColor Stock(TColor systemColor) {
    const TColor c = StockSystemColors().SysColor(systemColor & 0xFF);
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

}  // namespace

QFont QtDesktopFont(bool bold) {
    return ToQFont(DesktopFont(bold));
}

QPalette DesktopPalette() {
    const QColor face = Stock(clBtnFace);
    QPalette p(face);
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(g, QPalette::Window, face);
        p.setColor(g, QPalette::Button, face);
        p.setColor(g, QPalette::Base, Stock(clWindow));
        p.setColor(g, QPalette::AlternateBase, face);
        p.setColor(g, QPalette::Light, Stock(clBtnHighlight));
        p.setColor(g, QPalette::Midlight, Stock(cl3DLight));
        p.setColor(g, QPalette::Mid, Stock(clAppWorkSpace));
        p.setColor(g, QPalette::Dark, Stock(clBtnShadow));
        p.setColor(g, QPalette::Shadow, Stock(cl3DDkShadow));
        p.setColor(g, QPalette::WindowText, Stock(clWindowText));
        p.setColor(g, QPalette::Text, Stock(clWindowText));
        p.setColor(g, QPalette::ButtonText, Stock(clBtnText));
        p.setColor(g, QPalette::BrightText, Stock(clHighlightText));
        p.setColor(g, QPalette::Highlight, Stock(clHighlight));
        p.setColor(g, QPalette::HighlightedText, Stock(clHighlightText));
        p.setColor(g, QPalette::ToolTipBase, Stock(clInfoBk));
        p.setColor(g, QPalette::ToolTipText, Stock(clInfoText));
    }
    const QColor gray = Stock(clGrayText);
    p.setColor(QPalette::Disabled, QPalette::WindowText, gray);
    p.setColor(QPalette::Disabled, QPalette::Text, gray);
    p.setColor(QPalette::Disabled, QPalette::ButtonText, gray);
    p.setColor(QPalette::Inactive, QPalette::Highlight, Stock(clInactiveCaption));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, Stock(clInactiveCaptionText));
    return p;
}

void ApplyDesktopStyle(QApplication& app) {
    static const TQtSystemColors palette;
    app.setPalette(DesktopPalette());
    app.setFont(QtDesktopFont());
    SetSystemColors(&palette);
}
