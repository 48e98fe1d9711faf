// SPDX-License-Identifier: MIT
#include "support/SampleFiles.h"

#include <algorithm>
#include <fstream>

#include "base/HexDigits.h"

std::string SourcePath(const std::string& name) {
    return std::string(TEVR_SOURCE_DIR) + "/" + name;
}

std::string ExamplePath(const std::string& name) {
    return SourcePath("examples/" + name);
}

std::string Record(unsigned address, const std::vector<uint8_t>& data, unsigned type) {
    std::vector<unsigned> bytes{static_cast<unsigned>(data.size()), (address >> 8) & 0xFF,
                                address & 0xFF, type};
    bytes.insert(bytes.end(), data.begin(), data.end());
    unsigned sum = 0;
    for (unsigned b : bytes)
        sum += b;
    bytes.push_back((0x100 - (sum & 0xFF)) & 0xFF);
    std::string line = ":";
    for (unsigned b : bytes)
        line += HexDigits(b & 0xFF, 2);
    return line;
}

std::string Lines(std::initializer_list<std::string> lines) {
    std::string text;
    for (const auto& line : lines)
        text += line + "\n";
    return text;
}

std::vector<uint8_t> CountingBytes(unsigned first, unsigned count) {
    std::vector<uint8_t> bytes;
    for (unsigned i = 0; i < count; ++i)
        bytes.push_back(static_cast<uint8_t>(first + i));
    return bytes;
}

DataRun DataAt(uint16_t address, size_t count) {
    DataRun run{address, {}};
    for (size_t i = 0; i < count; ++i) {
        const auto a = static_cast<unsigned>(address + i);
        run.bytes.push_back(static_cast<uint8_t>((a * 7 + (a >> 8) * 13 + 5) & 0xFF));
    }
    return run;
}

std::string WriteHexFile(const std::string& path, const std::vector<DataRun>& runs) {
    std::ofstream out(path);
    for (const DataRun& run : runs) {
        for (size_t i = 0; i < run.bytes.size();) {
            const auto address = static_cast<unsigned>(run.address + i);
            const size_t n = std::min<size_t>(16 - address % 16, run.bytes.size() - i);
            const auto from = run.bytes.begin() + static_cast<std::ptrdiff_t>(i);
            out << Record(address, {from, from + static_cast<std::ptrdiff_t>(n)}) << '\n';
            i += n;
        }
    }
    out << kEndOfFile << '\n';
    return path;
}
