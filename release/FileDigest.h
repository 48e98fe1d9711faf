// SPDX-License-Identifier: MIT
#pragma once
// The update file's SHA-256 (the library's, loader/Crypto.h), so that the journal tells which
// firmware went into a board and a station can be locked to one file.
#include <cstdint>
#include <string>
#include <string_view>

// The digest of `bytes` in lower-case hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);

// An update file's size and digest.
struct FileDigest {
    uint64_t size = 0;
    std::string sha256;  // lower-case hexadecimal digits
};
FileDigest DigestBytes(std::string_view bytes);
