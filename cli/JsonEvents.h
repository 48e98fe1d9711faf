// SPDX-License-Identifier: MIT
#pragma once
// The events of flash and check as JSON Lines for a line's own software: one object a line,
// each with the schema version, the event type and the port. The keys are documented in the
// manual page and stay as they are; a new key may come with the same version.
#include <chrono>
#include <cstdint>
#include <iosfwd>
#include <nlohmann/json.hpp>
#include <string>

#include "cli/FlashReport.h"

struct LineCheckResult;

inline constexpr int kJsonSchema = 1;

// What every port's start event tells of the update file.
struct JsonFileFacts {
    std::string file;
    uint64_t size = 0;
    std::string sha256;
    int64_t blocks = 0;
    std::string release;  // the signed release's trusted comment; empty: not signed
    std::string keyId;
};

// The events of one port's flash, on the thread that writes `out`; progress at most every
// kProgressPeriod.
class JsonFlashReport final : public FlashReport {
public:
    static constexpr auto kProgressPeriod = std::chrono::milliseconds(250);

    // `station`: every board gets a number, counted from 1 on each port.
    JsonFlashReport(std::ostream& out, std::string port, JsonFileFacts facts, bool station);

    void Waiting(const std::string& port) override;
    void Greeted() override;
    void Started(int64_t blocksTotal, Clock::time_point at) override;
    void Update(int64_t blocksSent, Clock::time_point at) override;
    void Finish(Clock::time_point at) override;
    void Abandon() override {}
    void Note(const std::string&) override {}
    void Line(const std::string&) override {}
    void WrongChecksum(uint32_t blockAddress, uint8_t expected, uint8_t received) override;
    void Ended(const BoardResult& result) override;

private:
    void Write(const std::string& event, nlohmann::json fields = nlohmann::json::object());
    void Progress(Clock::time_point at);
    // The board's start event, once: a port that never opens has one too.
    void Announce();

    std::ostream& out_;
    const std::string port_;
    const JsonFileFacts facts_;
    const bool station_;
    int board_ = 1;
    bool announced_ = false;  // the start event of this board went out
    Clock::time_point start_{};
    int64_t blocksTotal_ = 0;
    int64_t blocksSent_ = 0;
    Clock::time_point lastProgress_{};
    bool progressPending_ = false;
};

// The verdict of `check` for one port.
void WriteJsonCheck(std::ostream& out, const LineCheckResult& result);
