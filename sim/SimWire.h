// SPDX-License-Identifier: MIT
#pragma once
// The simulated line between the tool and the device: when each byte is due (ten bits per byte
// at 10400 bit/s with pacing, at once without), the echo of what the tool sends, the device's
// answers behind it, and the bytes written to the tool that the pseudo-terminal has not taken
// yet. It decides nothing about the device's behaviour; it carries what it is given.
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <random>
#include <vector>

#include "sim/SimFaultPlan.h"
#include "sim/SimOptions.h"

class SimWire {
public:
    using Clock = std::chrono::steady_clock;

    // 10 bits (start, 8 data, stop) at 10400 bit/s.
    static constexpr auto kPacedByteTime = std::chrono::nanoseconds(1'000'000'000LL * 10 / 10400);

    // Bytes on the line: from the tool (echoed and taken in by the device when due) or from
    // the device, with what the device does once they are out.
    struct Segment {
        Clock::time_point due;
        std::vector<uint8_t> bytes;
        bool fromTool = false;
        SimFaultPlan::After after = SimFaultPlan::After::Nothing;
    };

    // `output` is the simulator's end of the line; the wire writes to it without blocking.
    SimWire(const SimOptions& options, int output);

    // Bytes the tool wrote, read at `now`: they come in (and go back as echo) one by one with
    // pacing, in the pieces of --split, or all at once.
    void FromTool(std::vector<uint8_t> bytes, Clock::time_point now);
    // When an answer of the device to a byte taken in at `at` is due: a byte time after the line
    // is free with pacing, else a moment after the byte.
    Clock::time_point AnswerDue(Clock::time_point at) const;
    // The device's answer to a byte taken in at `at`, at AnswerDue. With --merge it goes out in
    // the same write as the echo being gathered instead.
    void Answer(uint8_t byte, Clock::time_point at, SimFaultPlan::After after);
    // A byte of the device after everything on the line (a greeting).
    void Send(uint8_t byte, Clock::time_point now);
    // A byte of the device at `due`, whatever else is on the line (a late correct checksum).
    void SendAt(uint8_t byte, Clock::time_point due, SimFaultPlan::After after);

    // The next segment due at `now`, taken off the line.
    std::optional<Segment> TakeDue(Clock::time_point now);
    // The echo of a byte taken in, written with the next WriteEcho.
    void Echo(uint8_t byte) { echo_.push_back(byte); }
    void WriteEcho();
    // Forgets everything still due: the device has fallen silent.
    void Clear() { schedule_.clear(); }
    // The line is gone: nothing is due or written any more.
    void Disconnect();
    bool Idle() const { return schedule_.empty(); }

    // Writes bytes to the tool now; what the line does not take stays pending.
    void Write(std::vector<uint8_t> bytes);
    // Writes what is pending, as far as the line takes it.
    void FlushPending();
    bool HasPending() const { return !pendingOut_.empty(); }
    // Called with every write to the tool, in order, on the simulator's thread.
    void OnWrite(std::function<void(const std::vector<uint8_t>&)> onWrite) {
        onWrite_ = std::move(onWrite);
    }
    Clock::time_point LastWrite() const { return lastWrite_; }

    // When to look at the line again for what is due: paced echo is gathered into batches of a
    // few milliseconds, but the simulator wakes exactly for the device's bytes and for the last
    // byte received. max() when nothing is due.
    Clock::time_point NextDue() const;

private:
    void Schedule(Segment segment);

    const Clock::duration byteTime_;
    const bool pace_;
    const bool split_;
    const bool merge_;
    int output_;
    std::minstd_rand pieces_;
    std::deque<Segment> schedule_;
    Clock::time_point wireFree_{};
    std::vector<uint8_t> echo_;
    std::vector<uint8_t> pendingOut_;
    Clock::time_point lastWrite_{};
    std::function<void(const std::vector<uint8_t>&)> onWrite_;
};
