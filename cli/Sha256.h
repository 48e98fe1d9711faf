// SPDX-License-Identifier: MIT
#pragma once
// SHA-256 of the update file, so that the journal tells which firmware went into a board.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class Sha256 {
public:
    using Digest = std::array<uint8_t, 32>;

    Sha256();
    void Update(const void* data, size_t size);
    // The digest of everything given; the object is used up.
    Digest Final();

private:
    void Block(const uint8_t* block);

    std::array<uint32_t, 8> state_;
    std::array<uint8_t, 64> buffer_{};
    size_t buffered_ = 0;
    uint64_t length_ = 0;  // bytes given
};

// A digest in lower-case hexadecimal digits.
std::string Sha256Hex(const Sha256::Digest& digest);
// The digest of `bytes` in lower-case hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);

// An update file's size and digest.
struct FileDigest {
    uint64_t size = 0;
    std::string sha256;  // lower-case hexadecimal digits
};
FileDigest DigestBytes(std::string_view bytes);
// The file read whole; throws EInOutError as the update file's reading does.
FileDigest DigestFile(const std::string& path);
