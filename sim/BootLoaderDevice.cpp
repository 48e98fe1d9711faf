// SPDX-License-Identifier: MIT
#include "sim/BootLoaderDevice.h"

namespace {
constexpr uint8_t kPageCommand = 0x11;
constexpr uint8_t kBlockCommand = 0x22;
constexpr uint8_t kEndCommand = 0x99;
constexpr uint8_t kAcknowledge = 0xAA;
constexpr uint32_t kGreetingAnswer = 0x5533CC;
}  // namespace

BootLoaderDevice::BootLoaderDevice() {
    memory_.fill(0xFF);
}

void BootLoaderDevice::Restart() {
    phase_ = Phase::Greeting;
    greetingAnswer_ = 0;
    frame_.clear();
    frameLength_ = 0;
}

BootLoaderDevice::Step BootLoaderDevice::Feed(uint8_t byte) {
    Step step;
    switch (phase_) {
        case Phase::Greeting:
            greetingAnswer_ = ((greetingAnswer_ << 8) | byte) & 0xFFFFFF;
            if (greetingAnswer_ == kGreetingAnswer) {
                phase_ = Phase::Commands;
                step.greeted = true;
                step.answers = true;
                step.answer = kAcknowledge;
            }
            return step;
        case Phase::Commands:
            return FeedCommand(byte);
        case Phase::Ended:
            return step;
    }
    return step;
}

BootLoaderDevice::Step BootLoaderDevice::FeedCommand(uint8_t byte) {
    Step step;
    if (frame_.empty()) {
        switch (byte) {
            case kPageCommand:
            case kEndCommand:
                frameLength_ = 3;
                break;
            case kBlockCommand:
                frameLength_ = 3 + kBlockDataSize;
                break;
            default:
                return step;  // not the start of a command: ignored
        }
    }
    frame_.push_back(byte);
    if (frame_[0] == kBlockCommand) {
        step.block = blocks_ + 1;
        step.position = frame_.size() - 1;
    }
    if (frame_.size() < frameLength_) return step;

    const size_t address = (size_t{frame_[1]} << 8) | frame_[2];
    lastAddress_ = address;
    switch (frame_[0]) {
        case kPageCommand:
            step.misaligned = address % kPageSize != 0;
            step.answers = true;
            step.answer = kAcknowledge;
            break;
        case kBlockCommand: {
            step.misaligned = address % kBlockDataSize != 0;
            uint8_t sum = 0;
            for (size_t i = 0; i < kBlockDataSize; ++i) {
                const uint8_t data = frame_[3 + i];
                // A block at its base never reaches past the end of memory.
                if (!step.misaligned) memory_[address + i] = data;
                sum = static_cast<uint8_t>(sum + data);
            }
            ++blocks_;
            step.answers = true;
            step.answer = sum;
            step.blockDone = true;
            break;
        }
        case kEndCommand:
            phase_ = Phase::Ended;
            step.ended = true;
            break;
    }
    frame_.clear();
    return step;
}
