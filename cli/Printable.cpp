// SPDX-License-Identifier: MIT
#include "cli/Printable.h"

#include <cstdint>

#include "base/HexDigits.h"

namespace {
void AppendEscaped(std::string& out, unsigned code) {
    out.append("\\x").append(HexDigits(code & 0xFF, 2));
}

// Length of the well-formed UTF-8 sequence at `at` and its code point; 0 when there is none.
size_t Utf8Sequence(const std::string& text, size_t at, uint32_t& code) {
    const auto lead = static_cast<unsigned char>(text[at]);
    size_t length = 0;
    uint32_t minimum = 0;
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        minimum = 0x80;
        code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        minimum = 0x800;
        code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        minimum = 0x10000;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    for (size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) return 0;
        code = (code << 6) | (next & 0x3F);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code < minimum || code > 0x10FFFF || surrogate ? 0 : length;
}
}  // namespace

std::string PrintableText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        uint32_t code = 0;
        const size_t length = Utf8Sequence(text, at, code);
        if (length == 0) {
            AppendEscaped(out, static_cast<unsigned char>(text[at]));
            ++at;
            continue;
        }
        if (code < 0x20 || code == 0x7F || (code >= 0x80 && code <= 0x9F))
            AppendEscaped(out, code);
        else
            out.append(text, at, length);
        at += length;
    }
    return out;
}
