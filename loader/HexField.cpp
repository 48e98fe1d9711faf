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
        uint32_t digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<uint32_t>(c - '0');
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<uint32_t>(c - 'A' + 10);
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<uint32_t>(c - 'a' + 10);
        } else {
            return false;
        }
        v = (v << 4) | digit;
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
