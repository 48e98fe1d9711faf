// SPDX-License-Identifier: MIT
#include "widgets/win32/GdiSystemColors.h"

#include <windows.h>

TColor TGdiSystemColors::SysColor(unsigned number) const {
    // The system colour numbers are those of COLOR_SCROLLBAR (0) to COLOR_INFOBK (24).
    if (number > COLOR_INFOBK) return clBlack;
    return static_cast<TColor>(GetSysColor(static_cast<int>(number)));
}
