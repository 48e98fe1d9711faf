// SPDX-License-Identifier: MIT
#include "widgets/SystemColors.h"

#include <iterator>

namespace {

class TStockSystemColors final : public TSystemColors {
public:
    TColor SysColor(unsigned number) const override {
        // Numbers as the constants of Colors.h.
        static constexpr TColor kStock[] = {
            0xF0F0F0,  // 0 clScrollBar
            0xABABAB,  // 1 clBackground
            0xFF9933,  // 2 clActiveCaption
            0xDBCDBF,  // 3 clInactiveCaption
            0xF0F0F0,  // 4 clMenu
            0xFFFFFF,  // 5 clWindow
            0x696969,  // 6 clWindowFrame
            0x000000,  // 7 clMenuText
            0x000000,  // 8 clWindowText
            0xFFFFFF,  // 9 clCaptionText
            0xF0F0F0,  // 10 clActiveBorder
            0xF0F0F0,  // 11 clInactiveBorder
            0xABABAB,  // 12 clAppWorkSpace
            0xFF9933,  // 13 clHighlight
            0xFFFFFF,  // 14 clHighlightText
            0xF0F0F0,  // 15 clBtnFace
            0xA0A0A0,  // 16 clBtnShadow
            0x6D6D6D,  // 17 clGrayText
            0x000000,  // 18 clBtnText
            0x000000,  // 19 clInactiveCaptionText
            0xFFFFFF,  // 20 clBtnHighlight
            0x696969,  // 21 cl3DDkShadow
            0xE3E3E3,  // 22 cl3DLight
            0x000000,  // 23 clInfoText
            0xE1FFFF,  // 24 clInfoBk
        };
        return number < std::size(kStock) ? kStock[number] : clBlack;
    }
};

const TSystemColors* current = nullptr;

}  // namespace

const TSystemColors& StockSystemColors() {
    static const TStockSystemColors stock;
    return stock;
}

void SetSystemColors(const TSystemColors* provider) {
    current = provider;
}

const TSystemColors& CurrentSystemColors() {
    return current ? *current : StockSystemColors();
}
