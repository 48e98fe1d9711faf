// SPDX-License-Identifier: MIT
#include "loader/ForeignFormat.h"

#include <algorithm>

#include "loader/HexField.h"

namespace {
// A binary file shows a byte that no text holds within its first bytes: only they are looked at.
constexpr size_t kLookedAt = 256;
constexpr std::string_view kElfMagic = "\177ELF";

// Tabs and form feeds are text; line ends and Ctrl-Z never reach a line.
bool NoTextHoldsIt(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && c != '\t' && c != '\f') || byte == 0x7F;
}

bool AllHexDigits(std::string_view chars) {
    return !chars.empty() &&
           std::all_of(chars.begin(), chars.end(), [](char c) { return HexDigitValue(c) >= 0; });
}
}  // namespace

std::optional<ForeignFormat> ForeignFormatOf(std::string_view firstLine) {
    const std::string_view head = firstLine.substr(0, kLookedAt);
    if (head.starts_with(kElfMagic)) return ForeignFormat::Elf;
    if (std::any_of(head.begin(), head.end(), NoTextHoldsIt)) return ForeignFormat::Binary;

    const size_t first = head.find_first_not_of(" \t");
    const size_t last = head.find_last_not_of(" \t");
    if (first == std::string_view::npos) return std::nullopt;
    const std::string_view text = head.substr(first, last + 1 - first);
    if (text.starts_with('<')) return ForeignFormat::Markup;
    // "S0" to "S9" and the record's hexadecimal count, address, data and checksum.
    if (text.size() >= 4 && text[0] == 'S' && text[1] >= '0' && text[1] <= '9' &&
        AllHexDigits(text.substr(2)))
        return ForeignFormat::SRecord;
    // A section's address, "@" and hexadecimal digits, before its data lines.
    if (text.size() >= 2 && text[0] == '@' && AllHexDigits(text.substr(1)))
        return ForeignFormat::TiTxt;
    return std::nullopt;
}
