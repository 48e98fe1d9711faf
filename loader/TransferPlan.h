// SPDX-License-Identifier: MIT
#pragma once
// What the transfer of a converted script puts on the line, known before any port opens: its
// frames, the device's answers and the least time they take at the boot loader's rate.
#include <cstdint>
#include <string>
#include <vector>

// The boot loader's line: 10400 bit/s, each byte a start bit, 8 data bits and a stop bit.
constexpr double kLineBitsPerSecond = 10400;
constexpr double kLineBitsPerByte = 10;

// The least time a transfer needs on the half-duplex line: the bytes the tool sends (their echo
// overlaps them) and the device's answer bytes, one after the other.
inline double LineSeconds(int64_t toolBytes, int64_t answers) {
    return static_cast<double>(toolBytes + answers) * kLineBitsPerByte / kLineBitsPerSecond;
}

struct TransferPlan {
    int64_t pages = 0;       // page commands, the first one included
    int64_t blocks = 0;      // block commands
    int64_t frameBytes = 0;  // every frame after the greeting answer, the end command included
    int64_t answers = 0;     // the device's acknowledgements and checksums
    double Seconds() const { return LineSeconds(frameBytes, answers); }
};

// The frames that the transfer makes of `script` (the lines of a converted update file): a block
// line with fewer than 128 data bytes is filled up to a full block. Throws EConvertError for a
// block line whose byte count does not read.
TransferPlan PlanTransfer(const std::vector<std::string>& script);
