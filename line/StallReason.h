// SPDX-License-Identifier: MIT
#pragma once
// Why a session that made no progress for its time-out stalled: what it waited for, where.
#include <chrono>
#include <cstdint>
#include <string>

// What a stalled session waited for when its time ran out.
enum class StallWait : uint8_t {
    Greeting,        // the boot loader's first greeting
    SecondGreeting,  // its second greeting (0xAA)
    Acknowledge,     // the acknowledgement of a page command
    Echo,            // the echo of a block, none of it come
    RestOfEcho,      // the rest of a block's echo
    Checksum,        // a correct checksum of a block
    Answer,          // anything at all
};

struct StallReason {
    StallWait waitedFor = StallWait::Answer;
    std::string address;  // the block's address field as the script writes it; may be empty
    int echoCount = 0;    // of RestOfEcho: echo bytes come and expected
    int echoLength = 0;
    std::chrono::milliseconds waited{0};
};
