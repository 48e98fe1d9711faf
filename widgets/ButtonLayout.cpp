// SPDX-License-Identifier: MIT
#include "widgets/ButtonLayout.h"

#include <algorithm>

#include "widgets/AlignedText.h"

TButtonLayout LayoutButtonContent(const TRect& face, const TButtonContent& c) {
    const int gw = c.glyph.cx, gh = c.glyph.cy;
    const int sp = gw >= 1 && c.textWidth >= 1 ? c.spacing : 0;
    const bool sideBySide = c.posGlyph == pLeft || c.posGlyph == pRight;
    const int ch = sideBySide ? std::max(gh, c.textHeight) : gh + sp + c.textHeight;
    const int cw = sideBySide ? gw + sp + c.textWidth : std::max(gw, c.textWidth);

    int cx = face.Left + (face.Right - face.Left) / 2;
    if (c.posH == phLeft) cx = face.Left + cw / 2;
    if (c.posH == phRight) cx = face.Right - cw / 2;
    int cy = face.Top + (face.Bottom - face.Top) / 2;
    if (c.posV == pvTop) cy = face.Top + ch / 2;
    if (c.posV == pvBottom) cy = face.Bottom - ch / 2;

    TButtonLayout l{};
    switch (c.posGlyph) {
        case pLeft:
            l.glyph = {cx - cw / 2, cy - gh / 2};
            l.text = {l.glyph.X + gw + sp, cy};
            l.anchor = taMiddleLeft;
            break;
        case pRight:
            l.glyph = {cx + cw / 2 - gw, cy - gh / 2};
            l.text = {l.glyph.X - sp, cy};
            l.anchor = taMiddleRight;
            break;
        case pTop:
            l.glyph = {cx - gw / 2, cy - ch / 2};
            l.text = {cx, l.glyph.Y + gh + sp};
            l.anchor = taTopCenter;
            break;
        case pBottom:
            l.glyph = {cx - gw / 2, cy + ch / 2 - gh};
            l.text = {cx, l.glyph.Y - sp};
            l.anchor = taBottomCenter;
            break;
    }
    l.glyph = l.glyph + c.shift;
    l.text = l.text + c.shift;
    return l;
}
