// SPDX-License-Identifier: MIT
#pragma once
// The desktop's system colours (clBtnFace, clBtnShadow, ...), which a colour value names by
// number. Each desktop supplies its own; the stock ones are the colours the window was designed
// with, so that drawing without a desktop (and the tests) gives the same pixels everywhere.
#include "widgets/Colors.h"

class TSystemColors {
public:
    virtual ~TSystemColors() = default;
    // The RGB value of system colour `number`; black for a number the desktop lacks.
    virtual TColor SysColor(unsigned number) const = 0;
};

// The stock desktop colours.
const TSystemColors& StockSystemColors();

// The provider ColorToRGB asks. A desktop installs its own at start-up (null goes back to the
// stock colours); the provider must live as long as it is installed. Window's thread only.
void SetSystemColors(const TSystemColors* provider);
const TSystemColors& CurrentSystemColors();
