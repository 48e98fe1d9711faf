// SPDX-License-Identifier: MIT
#include "support/ToolChainFiles.h"

#include <algorithm>

#include "support/SampleFiles.h"

ShapedFile& ShapedFile::Data(unsigned field, const std::vector<uint8_t>& bytes) {
    text_ += ::Record(field, bytes) + "\n";
    for (size_t i = 0; i < bytes.size(); ++i)
        memory_[base_ + field + static_cast<unsigned>(i)] = bytes[i];
    return *this;
}

ShapedFile& ShapedFile::Records(unsigned field, unsigned count, unsigned length) {
    for (unsigned done = 0; done < count; done += length)
        Data(field + done, Pattern(field + done, std::min(length, count - done)));
    return *this;
}

ShapedFile& ShapedFile::Line(const std::string& line) {
    text_ += line + "\n";
    return *this;
}

ShapedFile& ShapedFile::End() {
    return Line(kEndOfFile);
}

std::vector<uint8_t> ShapedFile::Pattern(unsigned address, unsigned count) {
    std::vector<uint8_t> bytes;
    for (unsigned a = address; a < address + count; ++a)
        bytes.push_back(static_cast<uint8_t>((a * 7 + (a >> 8) * 13 + 5) & 0xFF));
    return bytes;
}

ShapedFile& ShapedFile::Base(unsigned value, unsigned type, unsigned base) {
    base_ = base;
    return Line(::Record(0, {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)}, type));
}

std::vector<ToolChainFile> ToolChainFiles() {
    std::vector<ToolChainFile> shapes;
    const auto add = [&](const char* name, ShapedFile file) { shapes.push_back({name, file}); };
    // Code first, then the reset and interrupt vectors it jumps from.
    add("VectorsAfterTheCode", ShapedFile()
                                   .Records(0x0100, 0x1A0, 16)
                                   .Data(0x0000, {0x02, 0x01, 0x00})
                                   .Data(0x000B, {0x32})
                                   .End());
    // Records of 1 to 16 bytes, one after the other, across block and page boundaries.
    ShapedFile keil;
    for (unsigned address = 0x01C0, length = 1; address < 0x0500; length = length % 16 + 1) {
        keil.Data(address, ShapedFile::Pattern(address, length));
        address += length;
    }
    add("RecordsOfAnyLengthAcrossBlocks", keil.End());
    // A zero linear base, the code, and configuration words far above it.
    add("ConfigurationWordsAbove",
        ShapedFile().Linear(0).Records(0x0000, 0x2C0, 16).Data(0x400E, {0xE4, 0x3F}).End());
    // The bottom and the very top of memory.
    add("DataAtBothEndsOfMemory",
        ShapedFile().Records(0x0000, 0x40, 16).Records(0xFFE0, 0x20, 16).End());
    add("LongRecordsAtOddAddresses",
        ShapedFile().Records(0x1234, 24 * 20, 24).Records(0x2F7, 32 * 9, 32).End());
    add("SegmentBase", ShapedFile().Segment(0x0100).Records(0x0000, 0x90, 16).End());
    add("BytesGivenTwiceAlike", ShapedFile()
                                    .Records(0x0800, 0x100, 16)
                                    .Data(0x0808, ShapedFile::Pattern(0x0808, 16))
                                    .Records(0x0800, 0x20, 16)
                                    .End());
    add("BlankLinesAndJunkAfterTheEnd", ShapedFile()
                                            .Records(0x3000, 0x80, 16)
                                            .End()
                                            .Line("")
                                            .Line("")
                                            .Line("trailer by another tool"));
    return shapes;
}
