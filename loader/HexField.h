#pragma once
// Reading of hexadecimal text fields: the field is read as "$" followed by its characters, which
// must be one or more hexadecimal digits of either case and nothing else.
#include <cstdint>
#include <string_view>

// Value of the field; throws EConvertError "'$<chars>' is not a valid integer value" when the
// field is empty, holds any other character, or does not fit in 32 bits.
int32_t HexFieldToInt(std::string_view chars);

// Same test without throwing: true and the value when the field reads.
bool TryHexFieldToInt(std::string_view chars, int32_t& value);
