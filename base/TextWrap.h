// SPDX-License-Identifier: MIT
#pragma once
// Text broken into lines that fit a width in columns, for the help and for the lines the
// programs print on a terminal: a terminal that wraps a line itself breaks it inside a word.
#include <cstddef>
#include <sstream>
#include <string>

// The byte of UTF-8 `line` at which its column `column` begins (its size when it is shorter): a
// Russian letter takes two bytes and one column.
inline std::size_t ByteOfColumn(const std::string& line, std::size_t column) {
    for (std::size_t at = 0; at < line.size(); ++at)
        if ((static_cast<unsigned char>(line[at]) & 0xC0) != 0x80 && column-- == 0) return at;
    return line.size();
}

// Columns that UTF-8 `text` takes, one for each character.
inline std::size_t ColumnsOf(const std::string& text) {
    std::size_t columns = 0;
    for (const char c : text)
        columns += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return columns;
}

// Breaks every line of `text` longer than `width` columns at its last space that fits; the
// continuation keeps the line's indentation, and `hang` columns more. A word longer than the
// room stays whole on a line of its own.
inline std::string WrapText(const std::string& text, std::size_t width, std::size_t hang = 0) {
    std::string wrapped;
    std::istringstream lines(text);
    std::string line;
    bool first = true;
    while (std::getline(lines, line)) {
        if (!first) wrapped += '\n';
        first = false;
        const std::size_t indent = line.find_first_not_of(' ');
        std::size_t lead = indent;
        while (lead != std::string::npos && ByteOfColumn(line, width) < line.size()) {
            const std::size_t limit = ByteOfColumn(line, width);
            std::size_t cut = line.rfind(' ', limit);
            if (cut == std::string::npos || cut <= lead) cut = line.find(' ', limit);
            // No space after the indentation: nothing to break at (an indentation as wide as the
            // room among them).
            if (cut == std::string::npos || cut <= lead) break;
            const std::size_t rest = line.find_first_not_of(' ', cut);
            if (rest == std::string::npos) {
                line.resize(cut);
                break;
            }
            wrapped.append(line, 0, cut).append(1, '\n');
            lead = indent + hang;
            line = std::string(lead, ' ') + line.substr(rest);
        }
        wrapped += line;
    }
    if (!text.empty() && text.back() == '\n') wrapped += '\n';
    return wrapped;
}
