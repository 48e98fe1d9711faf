// SPDX-License-Identifier: MIT
#pragma once
// One port's report told to two: what the terminal shows and the machine-readable events.
#include "cli/FlashReport.h"

class ReportTee final : public FlashReport {
public:
    // Both must outlive the tee.
    ReportTee(FlashReport& first, FlashReport& second) : first_(first), second_(second) {}

    void Waiting(const std::string& port) override {
        Both([&](FlashReport& r) { r.Waiting(port); });
    }
    void Greeted() override {
        Both([](FlashReport& r) { r.Greeted(); });
    }
    void Started(int64_t blocksTotal, Clock::time_point at) override {
        Both([&](FlashReport& r) { r.Started(blocksTotal, at); });
    }
    void Update(int64_t blocksSent, Clock::time_point at) override {
        Both([&](FlashReport& r) { r.Update(blocksSent, at); });
    }
    void Finish(Clock::time_point at) override {
        Both([&](FlashReport& r) { r.Finish(at); });
    }
    void Abandon() override {
        Both([](FlashReport& r) { r.Abandon(); });
    }
    void Note(const std::string& text) override {
        Both([&](FlashReport& r) { r.Note(text); });
    }
    void Line(const std::string& text) override {
        Both([&](FlashReport& r) { r.Line(text); });
    }
    void WrongChecksum(uint32_t blockAddress, uint8_t expected, uint8_t received) override {
        Both([&](FlashReport& r) { r.WrongChecksum(blockAddress, expected, received); });
    }
    void Ended(const BoardResult& result) override {
        Both([&](FlashReport& r) { r.Ended(result); });
    }

private:
    template <typename Call>
    void Both(Call call) {
        call(first_);
        call(second_);
    }

    FlashReport& first_;
    FlashReport& second_;
};
