// SPDX-License-Identifier: MIT
#include "cli/ImageCheck.h"

#include "base/HexDigits.h"
#include "base/Translation.h"
#include "files/FileConversion.h"
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
        const auto checked = static_cast<unsigned long>(comparison.bytesChecked);
        // "All" of one byte reads wrong in any language; 21 shares 1's form in some.
        if (checked == 1)
            return Fill(Tr("verified: the image holds the one byte of %1 at its address"),
                        {updateFile});
        return Fill(TrN("verified: the image holds the %1 byte of %2 at its address",
                        "verified: the image holds all %1 bytes of %2 at their addresses", checked),
                    {std::to_string(checked), updateFile});
    }
    std::string text = Fill(TrN("the image differs from %1 at %2 of %3 byte:",
                                "the image differs from %1 at %2 of %3 bytes:",
                                static_cast<unsigned long>(comparison.bytesChecked)),
                            {updateFile, std::to_string(comparison.bytesDiffering),
                             std::to_string(comparison.bytesChecked)});
    for (size_t i = 0; i < comparison.firstDifferences.size(); ++i) {
        const ImageDifference& d = comparison.firstDifferences[i];
        text += i == 0 ? " " : "; ";
        text += Fill(Tr("%1 holds %2, not %3"),
                     {Hex(d.address, 4),
                      d.actual < 0 ? std::string(Tr("nothing (past the image's end)"))
                                   : Hex(static_cast<uint32_t>(d.actual), 2),
                      Hex(d.expected, 2)});
    }
    if (comparison.bytesDiffering > static_cast<int64_t>(comparison.firstDifferences.size()))
        text += "; ...";
    return text;
}
