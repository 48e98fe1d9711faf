// SPDX-License-Identifier: MIT
#include "cli/Terminal.h"

#include <cstdlib>

namespace {
constexpr int kDefaultColumns = 80;
}  // namespace

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
