// SPDX-License-Identifier: MIT
#pragma once
// Paths travel through the programs as UTF-8 (arguments, the window's fields, journals). The
// system's file calls take them as a filesystem path: UTF-16 on Windows, so that a file name with
// letters outside the ANSI code page opens; the same bytes on Linux, where a name need not be
// valid UTF-8 at all.
#include <filesystem>
#include <string>
#include <string_view>

// Throws std::system_error (a filesystem error) on Windows for text that is not UTF-8.
inline std::filesystem::path PathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}
