// SPDX-License-Identifier: MIT
// Update files in the shapes real tool chains write them, flashed end to end: every byte each
// file defines must be in the device's memory at its address.
#include <fstream>
#include <map>

#include "LineTest.h"
#include "support/SampleFiles.h"
#include "support/TempFolder.h"

namespace line_test {
namespace {

// An update file written record by record, with the memory it defines.
class ShapedFile {
public:
    // A data record at the address field `field`; its bytes land at the base in force plus it.
    ShapedFile& Data(unsigned field, const std::vector<uint8_t>& bytes) {
        text_ += ::Record(field, bytes) + "\n";
        for (size_t i = 0; i < bytes.size(); ++i)
            memory_[base_ + field + static_cast<unsigned>(i)] = bytes[i];
        return *this;
    }
    // Consecutive records of `length` bytes from `field` on, `count` bytes in all.
    ShapedFile& Records(unsigned field, unsigned count, unsigned length) {
        for (unsigned done = 0; done < count; done += length)
            Data(field + done, Pattern(field + done, std::min(length, count - done)));
        return *this;
    }
    ShapedFile& Segment(unsigned value) { return Base(value, 2, value << 4); }
    ShapedFile& Linear(unsigned value) { return Base(value, 4, value << 16); }
    ShapedFile& Line(const std::string& line) {
        text_ += line + "\n";
        return *this;
    }
    ShapedFile& End() { return Line(kEndOfFile); }

    const std::string& Text() const { return text_; }
    const std::map<unsigned, uint8_t>& Memory() const { return memory_; }

    // Bytes that tell their address, so that misplaced data shows.
    static std::vector<uint8_t> Pattern(unsigned address, unsigned count) {
        std::vector<uint8_t> bytes;
        for (unsigned a = address; a < address + count; ++a)
            bytes.push_back(static_cast<uint8_t>((a * 7 + (a >> 8) * 13 + 5) & 0xFF));
        return bytes;
    }

private:
    ShapedFile& Base(unsigned value, unsigned type, unsigned base) {
        base_ = base;
        return Line(
            ::Record(0, {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)}, type));
    }

    std::string text_;
    std::map<unsigned, uint8_t> memory_;
    unsigned base_ = 0;
};

struct Shape {
    const char* name;
    ShapedFile file;
};

void PrintTo(const Shape& shape, std::ostream* out) {
    *out << shape.name;
}

std::vector<Shape> Shapes() {
    std::vector<Shape> shapes;
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

class ToolChainFileTest : public LineTest, public ::testing::WithParamInterface<Shape> {};

TEST_P(ToolChainFileTest, EveryByteLandsAtItsAddress) {
    TempFolder folder;
    const std::string path = folder / "update.hex";
    std::ofstream(path) << GetParam().file.Text();
    Launch();
    Convert(path);
    Start();
    ASSERT_TRUE(RunToCompletion()) << (errors.empty() ? "" : errors.front());
    EXPECT_EQ(observer.messages, std::vector<TransferMessage>{TransferMessage::Done});
    const Bytes image = sim->Image();
    for (const auto& [address, value] : GetParam().file.Memory()) {
        ASSERT_EQ(image.at(address), value) << "at " << std::hex << address;
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, ToolChainFileTest, ::testing::ValuesIn(Shapes()),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace line_test
