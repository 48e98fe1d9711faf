// SPDX-License-Identifier: MIT
#pragma once
// Byte-level helpers of the transfer: the hex text of received bytes, frames built from script
// text, and the checksum the device answers a block command with.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// " 55 33 CC": every byte as a blank and two upper-case hexadecimal digits.
std::string HexText(const uint8_t* bytes, size_t count);

// Number of bytes FrameFromText will make of `text`: pairs left once the blanks are removed.
size_t FrameLength(std::string_view text);

// Removes the blanks and reads the text two characters at a time as hexadecimal bytes; an odd
// last character is dropped. Throws EConvertError for a pair that is not hexadecimal.
std::vector<uint8_t> FrameFromText(std::string_view text);

// Sum of the bytes from the fourth on, modulo 256; 0 for frames shorter than four bytes.
uint8_t FrameChecksum(const std::vector<uint8_t>& frame);
