// SPDX-License-Identifier: MIT
// Comparing a device's memory image with the bytes of an update file.
#include <gtest/gtest.h>

#include <fstream>

#include "cli/ImageCheck.h"
#include "files/FileConversion.h"
#include "loader/Conversion.h"
#include "loader/Errors.h"
#include "support/SampleFiles.h"
#include "support/TempFolder.h"

namespace line_test {
namespace {

TEST(ImageCheck, OnlyTheFilesOwnBytesAreCompared) {
    TempFolder folder;
    const DataRun low = DataAt(0x0010, 0x20);
    const DataRun high = DataAt(0xFFF0, 0x10);
    const std::string file = WriteHexFile(folder / "fw.hex", {low, high});
    std::vector<uint8_t> image(0x10000, 0xFF);
    std::copy(low.bytes.begin(), low.bytes.end(), image.begin() + 0x10);
    std::copy(high.bytes.begin(), high.bytes.end(), image.begin() + 0xFFF0);
    image[0x0000] = 0x00;  // a gap the conversion filled: not the file's
    image[0x0030] = 0x00;  // fill behind the data: not the file's either

    ImageComparison same = CompareImageWithUpdateFile(file, image);
    EXPECT_EQ(same.bytesChecked, 0x30);
    EXPECT_EQ(same.bytesDiffering, 0);
    EXPECT_EQ(DescribeComparison(same, "fw.hex"),
              "verified: the image holds all 48 bytes of fw.hex at their addresses");

    image[0x0011] ^= 0x01;
    for (int i = 0; i < 6; ++i)
        image[0xFFF0 + i] = static_cast<uint8_t>(~high.bytes[i]);
    const ImageComparison differs = CompareImageWithUpdateFile(file, image);
    EXPECT_EQ(differs.bytesDiffering, 7);
    ASSERT_EQ(differs.firstDifferences.size(), 4u);
    EXPECT_EQ(differs.firstDifferences[0],
              (ImageDifference{0x0011, low.bytes[1], low.bytes[1] ^ 0x01}));
    EXPECT_EQ(differs.firstDifferences[1].address, 0xFFF0u);
    const std::string text = DescribeComparison(differs, "fw.hex");
    EXPECT_EQ(text.rfind("the image differs from fw.hex at 7 of 48 bytes: 0x0011 holds 0x", 0), 0u)
        << text;
    EXPECT_EQ(text.substr(text.size() - 5), "; ...");
}

TEST(ImageCheck, ShortImageAndBadFiles) {
    TempFolder folder;
    const std::string file = WriteHexFile(folder / "fw.hex", {DataAt(0x0100, 0x10)});
    const std::vector<uint8_t> shortImage(0x0108, 0xFF);
    const ImageComparison comparison = CompareImageWithUpdateFile(file, shortImage);
    EXPECT_EQ(comparison.bytesDiffering, 16);
    EXPECT_EQ(comparison.firstDifferences.front().actual, 0xFF);
    bool pastEnd = false;
    for (const ImageDifference& d : comparison.firstDifferences)
        pastEnd = pastEnd || d.actual == -1;
    EXPECT_FALSE(pastEnd) << "the first four lie inside the image";
    const ImageComparison empty = CompareImageWithUpdateFile(file, {});
    EXPECT_EQ(empty.firstDifferences.front().actual, -1);
    EXPECT_NE(DescribeComparison(empty, "fw.hex").find("nothing (past the image's end)"),
              std::string::npos);

    EXPECT_THROW(CompareImageWithUpdateFile(folder / "none.hex", {}), EInOutError);
    EXPECT_THROW(CompareImageWithUpdateFile(TEVR_SOURCE_DIR "/CMakeLists.txt", {}), EConvertError);
}

TEST(ImageCheck, RefusesExactlyWhatTheConversionRefuses) {
    // Data above the device's 64 KiB (an image holding them at their 16-bit addresses must not
    // pass for one that holds the file), a byte given twice with two values, no data at all; and
    // files that both accept: a segment base, records out of order.
    TempFolder folder;
    const std::vector<std::pair<std::string, bool>> files{
        {":020000040001F9\n:0400000001020304F2\n:00000001FF\n", false},
        {":0100000001FE\n:0100000002FD\n:00000001FF\n", false},
        {":00000001FF\n", false},
        {":020000020000FC\n:0400000001020304F2\n:00000001FF\n", true},
        {":0100100003EC\n:0400000001020304F2\n:00000001FF\n", true}};
    std::vector<uint8_t> image(0x10000, 0xFF);
    for (uint8_t i = 0; i < 4; ++i)
        image[i] = static_cast<uint8_t>(i + 1);
    image[0x10] = 3;

    for (const auto& [content, accepted] : files) {
        const std::string file = folder / "update.hex";
        std::ofstream(file) << content;
        ConvertedUpdate lists;
        NullGauge gauge;
        std::string refusal;
        try {
            ConvertUpdateFile(file, lists, gauge);
        } catch (const EConvertError& e) {
            refusal = e.what();
        }
        EXPECT_EQ(refusal.empty(), accepted) << content;
        try {
            const ImageComparison comparison = CompareImageWithUpdateFile(file, image);
            EXPECT_TRUE(accepted) << content << DescribeComparison(comparison, file);
            EXPECT_EQ(comparison.bytesDiffering, 0) << content;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.what(), refusal);
        }
    }
}

}  // namespace
}  // namespace line_test
