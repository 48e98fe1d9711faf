// SPDX-License-Identifier: MIT
#pragma once
// The look the window was designed with: the desktop's 8-point dialog font. Its stock colours
// are those of StockSystemColors() (SystemColors.h).
#include "widgets/Canvas.h"

// "MS Sans Serif", 8 point (11 pixels high), in the window-text colour.
TFont DesktopFont(bool bold = false);
