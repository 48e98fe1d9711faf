// SPDX-License-Identifier: MIT
#pragma once
// The browser's letters for the widgets' software canvas: a TFont as a CSS font, its extents
// measured and its coverage drawn by the page's 2D context. The window's "MS Sans Serif" falls
// back to the nearest sans-serif face the browser has.
#include <map>
#include <string>
#include <utility>

#include "widgets/PixelCanvas.h"

class TPageTextFace final : public TTextFace {
public:
    TSize Extent(const TFont& font, const std::string& text) override;
    TPixels Coverage(const TFont& font, const std::string& text) override;

    // The CSS font of `font` ("bold 11px ...").
    static std::string CssFont(const TFont& font);

private:
    // A control draws the same few texts at every paint.
    std::map<std::pair<std::string, std::string>, TSize> extents_;
};

// The one face of the page.
TPageTextFace& PageTextFace();
