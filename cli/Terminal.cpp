// SPDX-License-Identifier: MIT
#include "cli/Terminal.h"

#include <cstdlib>
#include <iostream>

namespace {
constexpr int kDefaultColumns = 80;
}  // namespace

size_t WholeUtf8Length(std::string_view text) {
    // Back to the start of the last character; it is whole when all its bytes are here.
    size_t start = text.size();
    while (start > 0 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80)
        --start;
    if (start == 0) return text.size();
    const auto lead = static_cast<unsigned char>(text[start - 1]);
    const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return text.size() - (start - 1) < length ? start - 1 : text.size();
}

int TerminalColumns() {
    if (const int columns = SystemTerminalColumns(); columns > 0) return columns;
    if (const char* columns = std::getenv("COLUMNS")) {
        char* end = nullptr;
        const long value = std::strtol(columns, &end, 10);
        if (end != columns && *end == '\0' && value > 0 && value < 100000)
            return static_cast<int>(value);
    }
    return kDefaultColumns;
}

int ErrorColumns(const std::ostream& err) {
    return &err == &std::cerr && StandardErrorIsTerminal() ? TerminalColumns() : 0;
}
