// SPDX-License-Identifier: MIT
#include "loader/TransferFrame.h"

#include "base/HexDigits.h"
#include "loader/HexField.h"

std::string HexText(const uint8_t* bytes, size_t count) {
    std::string text;
    text.reserve(count * 3);
    for (size_t i = 0; i < count; ++i)
        text.append(" ").append(HexDigits(bytes[i], 2));
    return text;
}

namespace {
// The frame is built while the device waits for it: a text without blanks, the usual case, is
// read where it stands.
std::string_view WithoutBlanks(std::string_view text, std::string& packed) {
    if (text.find(' ') == std::string_view::npos) return text;
    packed.reserve(text.size());
    for (char c : text) {
        if (c != ' ') packed += c;
    }
    return packed;
}
}  // namespace

size_t FrameLength(std::string_view text) {
    std::string packed;
    return WithoutBlanks(text, packed).size() / 2;
}

std::vector<uint8_t> FrameFromText(std::string_view text) {
    std::string storage;
    const std::string_view packed = WithoutBlanks(text, storage);
    std::vector<uint8_t> frame(packed.size() / 2);
    for (size_t i = 0; i < frame.size(); ++i) {
        const int high = HexDigitValue(packed[2 * i]);
        const int low = HexDigitValue(packed[2 * i + 1]);
        // A pair that is not hexadecimal fails as the runtime's conversion of it does.
        frame[i] = high >= 0 && low >= 0
                       ? static_cast<uint8_t>(high << 4 | low)
                       : static_cast<uint8_t>(HexFieldToInt(packed.substr(2 * i, 2)));
    }
    return frame;
}

uint8_t FrameChecksum(const std::vector<uint8_t>& frame) {
    unsigned sum = 0;
    for (size_t i = 3; i < frame.size(); ++i)
        sum += frame[i];
    return static_cast<uint8_t>(sum);
}
