// SPDX-License-Identifier: MIT
#pragma once
// Whether a memory image read back from the device (or saved by bk-sim) holds every byte that
// the update file defines, at its address. Gaps the conversion filled and the fill of short
// blocks are not the file's bytes and are not compared.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct ImageDifference {
    uint32_t address = 0;
    uint8_t expected = 0;
    int actual = -1;  // the image's byte; -1 when the address lies past the end of the image
    bool operator==(const ImageDifference&) const = default;
};

struct ImageComparison {
    int64_t bytesChecked = 0;
    int64_t bytesDiffering = 0;
    std::vector<ImageDifference> firstDifferences;  // lowest addresses first, at most a few
};

// Reads the update file as the conversion does, so that it accepts and refuses the same files;
// throws EInOutError or EConvertError as the conversion does.
ImageComparison CompareImageWithUpdateFile(const std::string& updateFile,
                                           std::span<const uint8_t> image);

// One line: "verified: ..." when nothing differs, otherwise what differs, first places first.
std::string DescribeComparison(const ImageComparison& comparison, const std::string& updateFile);
