// SPDX-License-Identifier: MIT
#pragma once
// Files picked as update files that are not Intel HEX text (the firmware's binary or ELF file, a
// web page saved instead of the file it offered, another tool chain's HEX format), told from their
// first line that is not blank, so that they are refused as what they are before any record is
// read.
#include <optional>
#include <string_view>

#include "loader/Errors.h"

// The format that the line shows; none for a line that may be a record, or text of no known kind.
// Looks at the line's first few hundred characters at most.
std::optional<ForeignFormat> ForeignFormatOf(std::string_view firstLine);
