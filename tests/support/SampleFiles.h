// SPDX-License-Identifier: MIT
#pragma once
// Update files for the tests: the samples in examples/, and Intel HEX records made on the spot
// with correct checksums.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

// The path of a sample in examples/, and of any file of the source tree.
std::string ExamplePath(const std::string& name);
std::string SourcePath(const std::string& name);

// An Intel HEX record line (upper case) with its checksum.
std::string Record(unsigned address, const std::vector<uint8_t>& data, unsigned type = 0);
inline const char* const kEndOfFile = ":00000001FF";
// Lines joined with LF, the last one ended too.
std::string Lines(std::initializer_list<std::string> lines);

// `count` bytes counting up from `first`.
std::vector<uint8_t> CountingBytes(unsigned first, unsigned count);

// Data at an address, each byte derived from its address so that misplaced data shows.
struct DataRun {
    uint16_t address;
    std::vector<uint8_t> bytes;
};
DataRun DataAt(uint16_t address, size_t count);
// Writes the runs as data records that never cross a 16-byte line, then the end record, and
// returns the path.
std::string WriteHexFile(const std::string& path, const std::vector<DataRun>& runs);
