// SPDX-License-Identifier: MIT
#include "cli/TextTable.h"

#include <algorithm>

#include "base/TextWrap.h"

namespace {
// A character begins at every byte that does not continue a UTF-8 sequence.
bool BeginsCharacter(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}
}  // namespace

size_t TextWidth(const std::string& text) {
    return ColumnsOf(text);
}

std::string FitColumns(const std::string& text, size_t columns) {
    size_t characters = 0;
    for (size_t at = 0; at < text.size(); ++at)
        if (BeginsCharacter(text[at]) && characters++ == columns) return text.substr(0, at);
    return text;
}

std::string FitLines(const std::string& text, size_t columns) {
    constexpr size_t kHang = 2;
    return columns > 1 ? WrapText(text, columns - 1, kHang) : text;
}

std::string TextTable(const std::vector<std::vector<std::string>>& rows) {
    std::vector<size_t> widths;
    for (const auto& row : rows) {
        widths.resize(std::max(widths.size(), row.size()), 0);
        for (size_t c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], TextWidth(row[c]));
    }
    std::string text;
    for (const auto& row : rows) {
        std::string line;
        for (size_t c = 0; c < row.size(); ++c) {
            line += row[c];
            if (c + 1 < row.size()) line.append(widths[c] - TextWidth(row[c]) + 2, ' ');
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        text += line + '\n';
    }
    return text;
}
