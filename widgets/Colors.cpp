// SPDX-License-Identifier: MIT
#include "widgets/Colors.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

struct TSystemRole {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The one place where the desktop's system colours meet the Qt palette. Numbers are those of
// the system colour constants in Colors.h; DesktopPalette() (DesktopStyle.h) fills these roles
// with the values a stock desktop shows, so the two tables go together.
//
//   clScrollBar, clBtnFace, clActiveBorder, clInactiveBorder, clMenu  -> Button / Window
//   clBackground, clAppWorkSpace                                        -> Mid
//   clWindow                                                            -> Base
//   clWindowFrame, cl3DDkShadow                                         -> Shadow
//   clWindowText, clMenuText                                            -> WindowText
//   clBtnText                                                           -> ButtonText
//   clActiveCaption, clHighlight                                        -> Highlight
//   clCaptionText, clHighlightText                                      -> HighlightedText
//   clInactiveCaption / clInactiveCaptionText                           -> inactive Highlight /
//                                                                          HighlightedText
//   clBtnShadow                                                         -> Dark
//   clBtnHighlight                                                      -> Light
//   cl3DLight                                                           -> Midlight
//   clGrayText                                                          -> disabled WindowText
//   clInfoText, clInfoBk                                                -> ToolTipText /
//   ToolTipBase
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

}  // namespace

TColor ColorToRGB(TColor c) {
    if (!IsSystemColor(c)) return c & 0x00FFFFFF;
    const unsigned number = c & 0xFF;
    // An unknown number resolves to black, as the desktop answers for a colour it lacks.
    if (number >= std::size(kRoles) || !qGuiApp) return clBlack;
    const TSystemRole& r = kRoles[number];
    return FromQColor(QGuiApplication::palette().color(r.group, r.role));
}

QColor ToQColor(TColor c) {
    const TColor rgb = ColorToRGB(c);
    return QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

TColor FromQColor(const QColor& c) {
    return RGBColor(c.red(), c.green(), c.blue());
}
