// SPDX-License-Identifier: MIT
#include "sim/SimWire.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace {
using namespace std::chrono_literals;

// Without pacing the device still answers a moment after the echo, as it does on the line.
constexpr auto kAnswerGap = 1ms;
constexpr auto kSplitGap = 2ms;
// Paced echo is handed to the tool in batches of about this much line time.
constexpr auto kEchoBatch = 4ms;
}  // namespace

SimWire::SimWire(const SimOptions& options, int output)
    : byteTime_(options.pace ? Clock::duration(kPacedByteTime) : Clock::duration::zero()),
      pace_(options.pace),
      split_(options.split),
      merge_(options.merge),
      output_(output),
      pieces_(options.seed) {}

void SimWire::FromTool(std::vector<uint8_t> bytes, Clock::time_point now) {
    auto at = std::max(wireFree_, now);
    if (split_) {
        for (size_t i = 0; i < bytes.size();) {
            const size_t piece = std::min<size_t>(1 + pieces_() % 7, bytes.size() - i);
            at += pace_ ? byteTime_ * static_cast<int>(piece) : Clock::duration(kSplitGap);
            Schedule({at,
                      {bytes.begin() + static_cast<long>(i),
                       bytes.begin() + static_cast<long>(i + piece)},
                      true});
            i += piece;
        }
    } else if (pace_) {
        for (uint8_t b : bytes) {
            at += byteTime_;
            Schedule({at, {b}, true});
        }
    } else {
        Schedule({at, std::move(bytes), true});
    }
    wireFree_ = at;
}

SimWire::Clock::time_point SimWire::AnswerDue(Clock::time_point at) const {
    return pace_ ? std::max(wireFree_, at) + byteTime_
                 : std::max(wireFree_, at + Clock::duration(kAnswerGap));
}

void SimWire::Answer(uint8_t byte, Clock::time_point at, SimFaultPlan::After after) {
    if (merge_) {
        echo_.push_back(byte);
        wireFree_ += byteTime_;
        // What follows the answer waits for the write it shares with the echo.
        if (after != SimFaultPlan::After::Nothing) Schedule({at, {}, false, after});
        return;
    }
    const auto due = AnswerDue(at);
    Schedule({due, {byte}, false, after});
    wireFree_ = due;
}

void SimWire::Send(uint8_t byte, Clock::time_point now) {
    const auto due = std::max(wireFree_, now) + byteTime_;
    wireFree_ = due;
    Schedule({due, {byte}, false});
}

void SimWire::SendAt(uint8_t byte, Clock::time_point due, SimFaultPlan::After after) {
    Schedule({due, {byte}, false, after});
}

void SimWire::Schedule(Segment segment) {
    // Ordered by due time; segments due together keep the order they were made in.
    auto at = std::upper_bound(schedule_.begin(), schedule_.end(), segment.due,
                               [](Clock::time_point due, const Segment& s) { return due < s.due; });
    schedule_.insert(at, std::move(segment));
}

std::optional<SimWire::Segment> SimWire::TakeDue(Clock::time_point now) {
    if (schedule_.empty() || schedule_.front().due > now) return std::nullopt;
    Segment segment = std::move(schedule_.front());
    schedule_.pop_front();
    return segment;
}

void SimWire::WriteEcho() {
    if (echo_.empty()) return;
    Write(std::move(echo_));
    echo_.clear();
}

void SimWire::Disconnect() {
    output_ = -1;
    schedule_.clear();
    echo_.clear();
    pendingOut_.clear();
}

void SimWire::Write(std::vector<uint8_t> bytes) {
    if (bytes.empty() || output_ < 0) return;
    lastWrite_ = Clock::now();
    if (onWrite_) onWrite_(bytes);
    pendingOut_.insert(pendingOut_.end(), bytes.begin(), bytes.end());
    FlushPending();
}

void SimWire::FlushPending() {
    while (!pendingOut_.empty() && output_ >= 0) {
        const ssize_t n = ::write(output_, pendingOut_.data(), pendingOut_.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            // A full line waits for the tool to read; any other failure loses the bytes.
            if (n < 0 && errno != EAGAIN) pendingOut_.clear();
            return;
        }
        pendingOut_.erase(pendingOut_.begin(), pendingOut_.begin() + n);
    }
}

SimWire::Clock::time_point SimWire::NextDue() const {
    if (schedule_.empty()) return Clock::time_point::max();
    const auto first = schedule_.front().due;
    if (!pace_ || split_) return first;
    auto batchEnd = std::min(first + kEchoBatch, schedule_.back().due);
    for (const Segment& s : schedule_) {
        if (s.due > batchEnd) break;
        if (!s.fromTool) {
            batchEnd = s.due;
            break;
        }
    }
    return std::max(first, batchEnd);
}
