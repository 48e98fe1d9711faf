// SPDX-License-Identifier: MIT
#include "widgets/DesktopStyle.h"

TFont DesktopFont(bool bold) {
    return {"MS Sans Serif", -11, bold, clWindowText};
}
