// SPDX-License-Identifier: MIT
#include "sim/SimFaultPlan.h"

SimFaultPlan::SimFaultPlan(const SimOptions& options)
    : badChecksumBlock_(options.badChecksumBlock),
      dropEchoBlock_(options.dropEchoBlock),
      silentAfter_(options.silentAfter),
      hangupAfter_(options.hangupAfter) {}

bool SimFaultPlan::DropsEcho(const BootLoaderDevice::Step& step) {
    if (echoDropped_ || step.block == 0 || step.block != dropEchoBlock_ ||
        step.position != kDroppedEchoPosition) {
        return false;
    }
    echoDropped_ = true;
    return true;
}

std::optional<uint8_t> SimFaultPlan::WrongChecksum(const BootLoaderDevice::Step& step) {
    if (checksumSpoilt_ || !step.blockDone || step.block != badChecksumBlock_) return std::nullopt;
    checksumSpoilt_ = true;
    return static_cast<uint8_t>(step.answer + 1);
}

SimFaultPlan::After SimFaultPlan::AfterAnswer(const BootLoaderDevice::Step& step,
                                              int blocks) const {
    // Block N counts from 1; N = 0 is the second greeting.
    const auto hits = [&](int n) { return step.blockDone ? n == blocks : step.greeted && n == 0; };
    if (hits(silentAfter_)) return After::FallSilent;
    if (hits(hangupAfter_)) return After::HangUp;
    return After::Nothing;
}
