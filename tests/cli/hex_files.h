// SPDX-License-Identifier: MIT
#pragma once
// Update files made by the tests: Intel HEX data records of 16 bytes (or fewer) with correct
// checksums, in a folder that is removed with the object.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace line_test {

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tevr-cli-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

struct DataRun {
    uint16_t address;
    std::vector<uint8_t> bytes;
};

// `count` bytes from `address` on, each derived from its address so that misplaced data shows.
inline DataRun Data(uint16_t address, size_t count) {
    DataRun run{address, {}};
    for (size_t i = 0; i < count; ++i) {
        const auto a = static_cast<unsigned>(address + i);
        run.bytes.push_back(static_cast<uint8_t>((a * 7 + (a >> 8) * 13 + 5) & 0xFF));
    }
    return run;
}

// Writes the runs as data records that never cross a 16-byte line, then the end record.
inline std::string WriteHexFile(const std::string& path, const std::vector<DataRun>& runs) {
    std::ofstream out(path);
    for (const DataRun& run : runs) {
        size_t i = 0;
        while (i < run.bytes.size()) {
            const auto address = static_cast<unsigned>(run.address + i);
            const size_t n = std::min<size_t>(16 - address % 16, run.bytes.size() - i);
            unsigned sum = static_cast<unsigned>(n) + (address >> 8) + (address & 0xFF);
            char text[16];
            std::snprintf(text, sizeof text, ":%02zX%04X00", n, address);
            std::string line = text;
            for (size_t k = 0; k < n; ++k) {
                std::snprintf(text, sizeof text, "%02X", run.bytes[i + k]);
                line += text;
                sum += run.bytes[i + k];
            }
            std::snprintf(text, sizeof text, "%02X", (0x100 - (sum & 0xFF)) & 0xFF);
            out << line << text << '\n';
            i += n;
        }
    }
    out << ":00000001FF\n";
    return path;
}

}  // namespace line_test
