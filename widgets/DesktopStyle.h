// SPDX-License-Identifier: MIT
#pragma once
// The look the window was designed with: the desktop's stock colours and its 8-point dialog
// font. The window applies it at start-up; the widget tests apply it so pixels are the same on
// every machine.
#include <QFont>
#include <QPalette>

class QApplication;

// "MS Sans Serif" 8 pt (11 pixels high) is not on Linux desktops; DejaVu Sans (fonts-dejavu-core)
// has the Cyrillic captions and is drawn at the same pixel height, without smoothing, as the
// bitmap font was.
QFont DesktopFont(bool bold = false);

// The stock desktop colours in the roles Colors.cpp resolves the system colours from.
QPalette DesktopPalette();

// Makes DesktopPalette() and DesktopFont() the application's defaults.
void ApplyDesktopStyle(QApplication& app);
