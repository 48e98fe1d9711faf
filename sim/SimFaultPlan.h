// SPDX-License-Identifier: MIT
#pragma once
// What the simulated device does wrong, and when: a wrong checksum, a lost echo byte, silence or
// a hang-up after a given block. Each fault strikes once; the plan remembers which have struck.
#include <chrono>
#include <cstdint>
#include <optional>

#include "sim/BootLoaderDevice.h"
#include "sim/SimOptions.h"

class SimFaultPlan {
public:
    // What the device does once its answer has gone out.
    enum class After {
        Nothing,
        FallSilent,  // echoes and answers nothing more, for good
        HangUp,      // closes the line, as if unplugged
    };

    // The echo byte of a block command that is lost (0-based position in the frame).
    static constexpr size_t kDroppedEchoPosition = 100;
    // How long after a wrong checksum the right one follows.
    static constexpr std::chrono::milliseconds kCorrectChecksumDelay{200};

    explicit SimFaultPlan(const SimOptions& options);

    // Whether the echo of the byte that led to `step` is lost.
    bool DropsEcho(const BootLoaderDevice::Step& step);
    // For the answer to the block command that `step` completed: the wrong checksum sent first,
    // the right one following kCorrectChecksumDelay later. Nothing for every other answer.
    std::optional<uint8_t> WrongChecksum(const BootLoaderDevice::Step& step);
    // What follows the answer of `step`, the device having received `blocks` block commands.
    After AfterAnswer(const BootLoaderDevice::Step& step, int blocks) const;
    // For the next board: every fault strikes again.
    void Rearm() { checksumSpoilt_ = echoDropped_ = false; }

private:
    const int badChecksumBlock_;
    const int dropEchoBlock_;
    const int silentAfter_;
    const int hangupAfter_;
    bool checksumSpoilt_ = false;
    bool echoDropped_ = false;
};
