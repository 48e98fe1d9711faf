#include "cli/ImageCheck.h"

#include <cstdio>

#include "loader/HexField.h"
#include "loader/HexRecord.h"
#include "loader/TextFile.h"

namespace {
constexpr size_t kDifferencesKept = 4;

std::string Hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}
}  // namespace

ImageComparison CompareImageWithUpdateFile(const std::string& updateFile,
                                           std::span<const uint8_t> image) {
    ImageComparison result;
    TextFile file(updateFile);
    std::string line;
    int64_t lineNumber = 0;
    do {
        file.ReadLine(line);
        const HexRecord record = ParseHexRecord(line, ++lineNumber);
        if (!IsDataRecord(record, lineNumber)) continue;
        for (int32_t i = 0; i < record.length; ++i) {
            const auto expected = static_cast<uint8_t>(
                HexFieldToInt(record.dataText.substr(static_cast<size_t>(2 * i), 2)));
            const auto address = static_cast<uint32_t>(record.address + i);
            const int actual = address < image.size() ? image[address] : -1;
            ++result.bytesChecked;
            if (actual == expected) continue;
            ++result.bytesDiffering;
            if (result.firstDifferences.size() < kDifferencesKept)
                result.firstDifferences.push_back({address, expected, actual});
        }
    } while (!file.Eof());
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
