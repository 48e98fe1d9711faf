// SPDX-License-Identifier: MIT
#pragma once
// The look the window was designed with, on Qt: the stock desktop colours as the application
// palette, the desktop font, and the system colours of the widgets read from that palette. The
// window applies it at start-up; the tests apply it so pixels are the same on every machine.
#include <QFont>
#include <QPalette>

class QApplication;

// DesktopFont() (widgets/DesktopStyle.h) as a Qt font.
QFont QtDesktopFont(bool bold = false);

// The stock desktop colours (StockSystemColors()) in the roles the system colours are read from.
QPalette DesktopPalette();

// Makes DesktopPalette() and QtDesktopFont() the application's defaults, and the application
// palette the widgets' system colours.
void ApplyDesktopStyle(QApplication& app);
