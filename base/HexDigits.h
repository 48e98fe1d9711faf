// SPDX-License-Identifier: MIT
#pragma once
// Numbers as the tool writes them everywhere (lists, exchange log, messages, escapes): upper-case
// hexadecimal digits, zero-padded.
#include <cstdint>
#include <string>

// At least `digits` digits (1 to 8); more when the value needs them.
inline std::string HexDigits(uint32_t value, int digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    char text[8];
    int n = 0;
    do {
        text[7 - n++] = kDigits[value & 0xF];
        value >>= 4;
    } while (n < 8 && (n < digits || value != 0));
    return std::string(text + 8 - n, text + 8);
}
