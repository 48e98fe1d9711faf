// SPDX-License-Identifier: MIT
#pragma once
// What the flash of one port tells in words as it goes, and how one board's attempt ended.
// FlashSession tells it on its own thread; FlashProgress and BoardTable show it.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "cli/SubjectError.h"
#include "line/BoardSessionResult.h"

// The session's result with the words tevr-flash made of it.
struct BoardResult : BoardSessionResult {
    // Why the board was not done, without the port's name; empty when done.
    std::string message;
    // A failure as the command reports it: "FILE: ..." or "PORT: ...", with its hints.
    std::optional<SubjectError> error;
};

// "done", "failed", "stalled" or "interrupted": the journal's and the summary's word.
inline const char* OutcomeWord(BoardOutcome outcome) {
    switch (outcome) {
        case BoardOutcome::Done:
            return "done";
        case BoardOutcome::Stalled:
            return "stalled";
        case BoardOutcome::Interrupted:
            return "interrupted";
        case BoardOutcome::Failed:
            break;
    }
    return "failed";
}

// The exit status of a flash that the stop request `signal` ended: 128 + its number.
int SignalExit(int signal);

class FlashReport {
public:
    using Clock = std::chrono::steady_clock;
    virtual ~FlashReport() = default;

    // The port is open and waits for a board's greeting.
    virtual void Waiting(const std::string& port) = 0;
    // The boot loader greeted and is being answered.
    virtual void Greeted() = 0;
    // The device's second greeting: the transfer of `blocksTotal` blocks begins.
    virtual void Started(int64_t blocksTotal, Clock::time_point at) = 0;
    // Blocks confirmed so far.
    virtual void Update(int64_t blocksSent, Clock::time_point at) = 0;
    // The end command went out after the last correct checksum.
    virtual void Finish(Clock::time_point at) = 0;
    // The transfer stopped short; what follows starts on a line of its own.
    virtual void Abandon() = 0;
    // A line of the program's own.
    virtual void Note(const std::string& text) = 0;
    // A line as it stands: the transfer's messages and the exchange log.
    virtual void Line(const std::string& text) = 0;
    // The device answered the block at `blockAddress` with `received` instead of `expected`; the
    // transfer waits for the right one.
    virtual void WrongChecksum(uint32_t blockAddress, uint8_t expected, uint8_t received) {
        (void)blockAddress, (void)expected, (void)received;
    }
    // The board's attempt is over, after everything above that it led to.
    virtual void Ended(const BoardResult& result) { (void)result; }
};
