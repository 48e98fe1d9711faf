// SPDX-License-Identifier: MIT
#pragma once
// Base64 as minisign writes its keys and signatures: the standard alphabet with "=" padding.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The bytes `text` encodes; none when it is not canonical Base64 (a character outside the
// alphabet, a length that is not a multiple of 4, padding inside, or bits left over), so that one
// signature has one spelling only.
std::optional<std::string> DecodeBase64(std::string_view text);
