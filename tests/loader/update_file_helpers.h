// SPDX-License-Identifier: MIT
#pragma once
// Helpers of the conversion tests: record lines with correct checksums and throw-away files.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "loader/ProgressGauge.h"

// An Intel HEX record line (upper case) with its checksum.
inline std::string Record(unsigned address, const std::vector<uint8_t>& data, unsigned type = 0) {
    std::vector<unsigned> bytes{static_cast<unsigned>(data.size()), (address >> 8) & 0xFF,
                                address & 0xFF, type};
    bytes.insert(bytes.end(), data.begin(), data.end());
    unsigned sum = 0;
    for (unsigned b : bytes)
        sum += b;
    bytes.push_back((0x100 - (sum & 0xFF)) & 0xFF);
    std::string line = ":";
    char pair[4];
    for (unsigned b : bytes) {
        std::snprintf(pair, sizeof pair, "%02X", b);
        line += pair;
    }
    return line;
}

// `count` bytes counting up from `first`.
inline std::vector<uint8_t> Bytes(unsigned first, unsigned count) {
    std::vector<uint8_t> bytes;
    for (unsigned i = 0; i < count; ++i)
        bytes.push_back(static_cast<uint8_t>(first + i));
    return bytes;
}

inline const char* const kEndOfFile = ":00000001FF";

// A folder of its own for each test, removed with everything in it.
class TempDir {
public:
    TempDir() {
        char name[] = "/tmp/tevr-conv-test-XXXXXX";
        if (!::mkdtemp(name)) std::abort();
        path_ = name;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Writes `content` byte for byte and returns the file's path.
    std::string Write(const std::string& name, const std::string& content) const {
        std::string path = (path_ / name).string();
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    std::string Path(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Lines joined with LF, the last one ended too.
inline std::string Lines(std::initializer_list<std::string> lines) {
    std::string text;
    for (const auto& line : lines)
        text += line + "\n";
    return text;
}

inline std::string ExamplePath(const std::string& name) {
    return std::string(TEVR_SOURCE_DIR) + "/examples/" + name;
}

// Remembers every maximum the conversion sets.
class RecordingGauge : public ProgressGauge {
public:
    void SetMaxValue(int32_t value) override { maxima.push_back(value); }
    int32_t Progress() const override { return progress; }
    void SetProgress(int32_t value) override { progress = value; }

    std::vector<int32_t> maxima;
    int32_t progress = 0;
};
