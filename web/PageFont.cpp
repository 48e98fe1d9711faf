// SPDX-License-Identifier: MIT
#include "web/PageFont.h"

#include <cstdlib>
#include <vector>

#include "web/PageBridge.h"

std::string TPageTextFace::CssFont(const TFont& font) {
    // A negative height is the letters' own, which is what CSS sizes.
    const int pixels = std::abs(font.Height) > 0 ? std::abs(font.Height) : 11;
    std::string css = font.Bold ? "bold " : "";
    css += std::to_string(pixels) + "px \"" + font.Name +
           "\", \"Microsoft Sans Serif\", Tahoma, Arial, \"DejaVu Sans\", sans-serif";
    return css;
}

TSize TPageTextFace::Extent(const TFont& font, const std::string& text) {
    const std::string css = CssFont(font);
    auto key = std::make_pair(css, text);
    if (const auto found = extents_.find(key); found != extents_.end()) return found->second;
    const TSize extent{PageJsTextWidth(css.c_str(), text.c_str()), PageJsLineHeight(css.c_str())};
    extents_.emplace(std::move(key), extent);
    return extent;
}

TPixels TPageTextFace::Coverage(const TFont& font, const std::string& text) {
    const TSize e = Extent(font, text);
    TPixels coverage(e.cx, e.cy, 0);
    if (coverage.IsEmpty()) return coverage;
    std::vector<uint8_t> mask(coverage.Data.size());
    PageJsTextMask(CssFont(font).c_str(), text.c_str(), mask.data(), e.cx, e.cy);
    for (std::size_t i = 0; i < mask.size(); ++i)
        coverage.Data[i] = mask[i];
    return coverage;
}

TPageTextFace& PageTextFace() {
    static TPageTextFace face;
    return face;
}
