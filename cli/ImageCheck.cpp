// SPDX-License-Identifier: MIT
#include "cli/ImageCheck.h"

#include "base/HexDigits.h"
#include "loader/UpdateImage.h"

namespace {
constexpr size_t kDifferencesKept = 4;

std::string Hex(uint32_t value, int digits) {
    return "0x" + HexDigits(value, digits);
}
}  // namespace

ImageComparison CompareImageWithUpdateFile(const std::string& updateFile,
                                           std::span<const uint8_t> image) {
    const UpdateImage file = ReadUpdateImage(updateFile);
    ImageComparison result;
    for (uint32_t address = 0; address < UpdateImage::kSize; ++address) {
        if (!file.Defined(address)) continue;
        const uint8_t expected = file.Byte(address);
        const int actual = address < image.size() ? image[address] : -1;
        ++result.bytesChecked;
        if (actual == expected) continue;
        ++result.bytesDiffering;
        if (result.firstDifferences.size() < kDifferencesKept)
            result.firstDifferences.push_back({address, expected, actual});
    }
    return result;
}

std::string DescribeComparison(const ImageComparison& comparison, const std::string& updateFile) {
    if (comparison.bytesDiffering == 0) {
        return "verified: the image holds all " + std::to_string(comparison.bytesChecked) +
               " bytes of " + updateFile + " at their addresses";
    }
    std::string text = "the image differs from " + updateFile + " at " +
                       std::to_string(comparison.bytesDiffering) + " of " +
                       std::to_string(comparison.bytesChecked) + " bytes:";
    for (size_t i = 0; i < comparison.firstDifferences.size(); ++i) {
        const ImageDifference& d = comparison.firstDifferences[i];
        text += i == 0 ? " " : "; ";
        text += Hex(d.address, 4) + " holds " +
                (d.actual < 0 ? std::string("nothing (past the image's end)")
                              : Hex(static_cast<uint32_t>(d.actual), 2)) +
                ", not " + Hex(d.expected, 2);
    }
    if (comparison.bytesDiffering > static_cast<int64_t>(comparison.firstDifferences.size()))
        text += "; ...";
    return text;
}
