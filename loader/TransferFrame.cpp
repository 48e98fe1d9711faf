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
std::string WithoutBlanks(std::string_view text) {
    std::string packed;
    packed.reserve(text.size());
    for (char c : text) {
        if (c != ' ') packed += c;
    }
    return packed;
}
}  // namespace

size_t FrameLength(std::string_view text) {
    return WithoutBlanks(text).size() / 2;
}

std::vector<uint8_t> FrameFromText(std::string_view text) {
    const std::string packed = WithoutBlanks(text);
    std::vector<uint8_t> frame;
    frame.reserve(packed.size() / 2);
    for (size_t i = 0; i + 2 <= packed.size(); i += 2) {
        frame.push_back(static_cast<uint8_t>(HexFieldToInt(std::string_view(packed).substr(i, 2))));
    }
    return frame;
}

uint8_t FrameChecksum(const std::vector<uint8_t>& frame) {
    unsigned sum = 0;
    for (size_t i = 3; i < frame.size(); ++i)
        sum += frame[i];
    return static_cast<uint8_t>(sum);
}
