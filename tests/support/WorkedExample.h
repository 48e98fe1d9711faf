// SPDX-License-Identifier: MIT
#pragma once
// The worked example of the protocol: one page command and one block of 16 bytes at 0000, as
// script lines and as the frames that go over the line.
#include <cstdint>
#include <string>
#include <vector>

inline const std::vector<std::string> kWorkedScript{
    "cmd 01:0000", "cmd 02:0000 10 0102030405060708090A0B0C0D0E0F10"};

// The block frame: command, address, the 16 bytes and the fill up to 128 data bytes.
inline std::vector<uint8_t> WorkedBlockFrame() {
    std::vector<uint8_t> frame{0x22, 0x00, 0x00};
    for (uint8_t b = 0x01; b <= 0x10; ++b)
        frame.push_back(b);
    frame.resize(131, 0xFF);
    return frame;
}
// The device's checksum of that block.
inline constexpr uint8_t kWorkedChecksum = 0x18;

inline const std::vector<uint8_t> kEndFrame{0x99, 0x00, 0x00};
