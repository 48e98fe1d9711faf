// SPDX-License-Identifier: MIT
#pragma once
// The summaries of a run over several ports ("2 of 3 boards failed: COM1, COM3").
#include <string>
#include <vector>

#include "base/Translation.h"

// The names, one after the other, separated by commas.
inline std::string NameList(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

// `pattern` (translated) with %1 the number of `part`, %2 `all` and %3 the names of `part`.
inline std::string PartOfAll(const std::string& pattern, const std::vector<std::string>& part,
                             size_t all) {
    return Fill(pattern, {std::to_string(part.size()), std::to_string(all), NameList(part)});
}
