// SPDX-License-Identifier: MIT
#include "widgets/Colors.h"

#include "widgets/SystemColors.h"

TColor ColorToRGB(TColor c) {
    if (!IsSystemColor(c)) return c & 0x00FFFFFF;
    return CurrentSystemColors().SysColor(c & 0xFF) & 0x00FFFFFF;
}
