#pragma once
// Numbers as the lists and messages write them: upper-case hexadecimal digits, zero-padded.
#include <cstdint>
#include <string>

// At least `digits` digits (at most 8); more when the value needs them.
inline std::string HexDigits(uint32_t value, int digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    char text[8];
    int n = 0;
    while (n < 8 && (n < digits || value != 0)) {
        text[7 - n++] = kDigits[value & 0xF];
        value >>= 4;
    }
    return std::string(text + 8 - n, text + 8);
}
