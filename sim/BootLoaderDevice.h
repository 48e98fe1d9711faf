// SPDX-License-Identifier: MIT
#pragma once
// The boot loader of the on-board computer as the tool sees it, without any line: it is fed the
// bytes it receives one at a time and says what it answers. It keeps the 64 KiB memory that the
// block commands write.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

class BootLoaderDevice {
public:
    static constexpr size_t kMemorySize = 0x10000;
    static constexpr size_t kBlockDataSize = 128;
    static constexpr size_t kPageSize = 512;

    enum class Phase {
        Greeting,  // greets and waits for 0x55 0x33 0xCC
        Commands,  // takes page, block and end commands
        Ended,     // the end command came; everything further is ignored
    };

    // What one received byte led to.
    struct Step {
        int block = 0;           // block command this byte belongs to, counted from 1; 0: none
        size_t position = 0;     // position of the byte within that block command
        bool greeted = false;    // the byte completed the greeting answer 0x55 0x33 0xCC
        bool answers = false;    // the byte completed a frame that the device answers
        uint8_t answer = 0;      // the answer: 0xAA or the block's checksum
        bool blockDone = false;  // the byte completed a block command
        bool ended = false;      // the byte completed the end command
        // The byte completed a page or block command whose address is not the base of a page
        // (512 bytes) or block (128 bytes). The boot loader writes nothing for it but answers as
        // usual, so the transfer runs on and the fault shows at its end.
        bool misaligned = false;
    };

    BootLoaderDevice();

    Step Feed(uint8_t byte);
    // Back to greeting, as after a reset: a frame under way is dropped, memory is kept.
    void Restart();

    Phase CurrentPhase() const { return phase_; }
    int BlocksReceived() const { return blocks_; }
    // Address of the last command that completed.
    size_t LastAddress() const { return lastAddress_; }
    const std::array<uint8_t, kMemorySize>& Memory() const { return memory_; }

private:
    Step FeedCommand(uint8_t byte);

    Phase phase_ = Phase::Greeting;
    uint32_t greetingAnswer_ = 0;  // the last three bytes received while greeting
    std::vector<uint8_t> frame_;   // the command frame under way
    size_t frameLength_ = 0;
    int blocks_ = 0;
    size_t lastAddress_ = 0;
    std::array<uint8_t, kMemorySize> memory_;
};
