// SPDX-License-Identifier: MIT
#pragma once
// Reading back what tevr-flash prints: lines of a text, and the cells of a table's row (cells are
// two or more spaces apart).
#include <sstream>
#include <string>
#include <vector>

namespace line_test {

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

inline std::vector<std::string> Cells(const std::string& row) {
    std::vector<std::string> cells;
    for (size_t at = 0; at < row.size();) {
        const size_t gap = row.find("  ", at);
        cells.push_back(row.substr(at, gap - at));
        at = gap == std::string::npos ? gap : row.find_first_not_of(' ', gap);
    }
    return cells;
}

}  // namespace line_test
