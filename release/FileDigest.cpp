// SPDX-License-Identifier: MIT
#include "release/FileDigest.h"

#include "release/Crypto.h"

std::string Sha256Hex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (const uint8_t byte : Sha256Of(bytes)) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

FileDigest DigestBytes(std::string_view bytes) {
    return {bytes.size(), Sha256Hex(bytes)};
}
