// SPDX-License-Identifier: MIT
#include "loader/HexField.h"

#include <string>

#include "loader/Errors.h"

std::string_view TextColumns(std::string_view text, size_t from, size_t count) {
    if (from == 0 || from > text.size()) return {};
    return text.substr(from - 1, count);
}

bool TryHexFieldToInt(std::string_view chars, int32_t& value) {
    if (chars.empty() || chars.size() > 8) return false;
    uint32_t v = 0;
    for (char c : chars) {
        const int digit = HexDigitValue(c);
        if (digit < 0) return false;
        v = (v << 4) | static_cast<uint32_t>(digit);
    }
    // Eight digits fill the 32 bits: the runtime's integer conversion gives them as signed.
    value = static_cast<int32_t>(v);
    return true;
}

int32_t HexFieldToInt(std::string_view chars) {
    int32_t value = 0;
    if (!TryHexFieldToInt(chars, value)) {
        throw EConvertError({.fault = ConversionFault::NotANumber, .text = std::string(chars)});
    }
    return value;
}
