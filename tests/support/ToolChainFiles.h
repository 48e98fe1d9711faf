// SPDX-License-Identifier: MIT
#pragma once
// Update files in the shapes real tool chains write them, each with the memory it defines: the
// end-to-end test flashes them, the oracle test reads them with a reader written elsewhere.
#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>

// An update file written record by record, with the memory it defines.
class ShapedFile {
public:
    // A data record at the address field `field`; its bytes land at the base in force plus it.
    ShapedFile& Data(unsigned field, const std::vector<uint8_t>& bytes);
    // Consecutive records of `length` bytes from `field` on, `count` bytes in all.
    ShapedFile& Records(unsigned field, unsigned count, unsigned length);
    ShapedFile& Segment(unsigned value) { return Base(value, 2, value << 4); }
    ShapedFile& Linear(unsigned value) { return Base(value, 4, value << 16); }
    ShapedFile& Line(const std::string& line);
    ShapedFile& End();

    const std::string& Text() const { return text_; }
    const std::map<unsigned, uint8_t>& Memory() const { return memory_; }

    // Bytes that tell their address, so that misplaced data shows.
    static std::vector<uint8_t> Pattern(unsigned address, unsigned count);

private:
    ShapedFile& Base(unsigned value, unsigned type, unsigned base);

    std::string text_;
    std::map<unsigned, uint8_t> memory_;
    unsigned base_ = 0;
};

struct ToolChainFile {
    const char* name;
    ShapedFile file;
};

inline void PrintTo(const ToolChainFile& shape, std::ostream* out) {
    *out << shape.name;
}

// Code after its vectors, records of every length across blocks, extended addresses, both ends
// of memory, bytes given twice alike, blank lines and junk after the end record.
std::vector<ToolChainFile> ToolChainFiles();
