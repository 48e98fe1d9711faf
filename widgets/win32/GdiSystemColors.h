// SPDX-License-Identifier: MIT
#pragma once
// The desktop's system colours as Windows reports them (GetSysColor).
#include "widgets/SystemColors.h"

class TGdiSystemColors final : public TSystemColors {
public:
    TColor SysColor(unsigned number) const override;
};
