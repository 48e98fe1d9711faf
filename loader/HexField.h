// SPDX-License-Identifier: MIT
#pragma once
// The text fields of fixed-column lines (update-file records, the record list, the transfer
// script) and their reading as hexadecimal numbers: a field is read as "$" followed by its
// characters, which must be one or more hexadecimal digits of either case and nothing else.
#include <cstddef>
#include <cstdint>
#include <string_view>

// Characters from 1-based position `from` on, at most `count` of them; positions past the end
// give fewer characters or none, as the script's fixed columns are read.
std::string_view TextColumns(std::string_view text, size_t from, size_t count);

// The value of one hexadecimal digit of either case; -1 for any other character.
constexpr int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Value of the field; throws EConvertError (NotANumber, the characters) when the field is empty,
// holds any other character, or does not fit in 32 bits.
int32_t HexFieldToInt(std::string_view chars);

// Same test without throwing: true and the value when the field reads.
bool TryHexFieldToInt(std::string_view chars, int32_t& value);
