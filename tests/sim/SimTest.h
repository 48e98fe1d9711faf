// SPDX-License-Identifier: MIT
#pragma once
// A simulator started on a thread of the test, with the tool side opened on its line.
#include <gtest/gtest.h>

#include <memory>
#include <numeric>

#include "ToolSide.h"
#include "sim/BootLoaderSim.h"
#include "support/TempFolder.h"
#include "support/WorkedExample.h"

namespace sim_test {

inline Bytes PageCommand(uint16_t address) {
    return {0x11, static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address)};
}

// A block command at `address` with 128 data bytes counting up from `first`.
inline Bytes BlockCommand(uint16_t address, uint8_t first = 0) {
    Bytes frame{0x22, static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address)};
    for (int i = 0; i < 128; ++i)
        frame.push_back(static_cast<uint8_t>(first + i));
    return frame;
}

inline uint8_t DataSum(const Bytes& block) {
    return static_cast<uint8_t>(std::accumulate(block.begin() + 3, block.end(), 0u));
}

class SimTest : public ::testing::Test {
protected:
    void Launch(SimOptions options = {}) {
        sim = std::make_unique<BootLoaderSim>(std::move(options));
        sim->Start();
        tool = std::make_unique<ToolSide>(sim->TerminalPath());
    }
    void TearDown() override {
        tool.reset();
        if (sim) sim->Stop();
    }
    // Waits for a greeting, answers it, and reads through its echo and the second greeting.
    void Handshake() {
        ASSERT_FALSE(tool->ReadThrough({0x55}).empty()) << "no greeting";
        tool->Write({0x55, 0x33, 0xCC});
        const Bytes got = tool->ReadThrough({0x55, 0x33, 0xCC, 0xAA});
        ASSERT_GE(got.size(), 4u) << "no second greeting";
    }
    // Sends a frame and reads its echo and `answers` more bytes.
    Bytes Exchange(const Bytes& frame, size_t answers = 1) {
        tool->Write(frame);
        return tool->Read(frame.size() + answers);
    }
    static Bytes Echoed(const Bytes& frame, std::initializer_list<uint8_t> answers) {
        Bytes expected = frame;
        expected.insert(expected.end(), answers);
        return expected;
    }

    TempFolder folder;  // for images and links
    std::unique_ptr<BootLoaderSim> sim;
    std::unique_ptr<ToolSide> tool;
};

}  // namespace sim_test
