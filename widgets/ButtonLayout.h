// SPDX-License-Identifier: MIT
#pragma once
// Where the colour button puts its glyph and text inside the face left by the bevel.
#include "widgets/Canvas.h"

enum TPosH { phLeft, phRight, phCenter };
enum TPosV { pvTop, pvBottom, pvCenter };
enum TPos { pLeft, pRight, pTop, pBottom };

struct TButtonContent {
    TSize glyph;     // one glyph cell; empty without a glyph
    int textWidth;   // the wider of the two texts, so the text starts at one x in both states
    int textHeight;  // already scaled to the lines' visual height
    int spacing;     // between glyph and text, used only when both are there
    TPosH posH;
    TPosV posV;
    TPos posGlyph;
    TPoint shift;  // offsets, plus the press shift when pressed or checked
};

struct TButtonLayout {
    TPoint glyph;  // top-left corner of the glyph cell
    TPoint text;   // anchor point of the text
    int anchor;    // anchor kind of the text (TTextAnchor)
};

TButtonLayout LayoutButtonContent(const TRect& face, const TButtonContent& c);
