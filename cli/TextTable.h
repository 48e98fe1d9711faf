// SPDX-License-Identifier: MIT
#pragma once
// Printable text laid out for a terminal: its width, cut to a width, and rows in columns.
#include <cstddef>
#include <string>
#include <vector>

// Columns that printable UTF-8 text takes, one for each character.
size_t TextWidth(const std::string& text);
// The first `columns` characters of printable text, so that a line never wraps.
std::string FitColumns(const std::string& text, size_t columns);
// Lines of printable text broken at spaces so that none wraps on a terminal `columns` wide (the
// last column left free, continuations indented); as they are for 0 columns (not a terminal).
std::string FitLines(const std::string& text, size_t columns);
// Rows of cells in columns two spaces apart, each as wide as its widest cell; the last cell of
// a row is not padded. One line for each row.
std::string TextTable(const std::vector<std::vector<std::string>>& rows);
