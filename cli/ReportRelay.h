// SPDX-License-Identifier: MIT
#pragma once
// A port's report handed over to the thread that shows it: every call is queued for `target` on
// the dispatcher's thread and returns at once, so that a slow terminal never holds a transfer
// up. The calls arrive in the order they were made.
#include <functional>
#include <string>

#include "cli/FlashReport.h"
#include "serial/VaDispatcher.h"

class ReportRelay final : public FlashReport {
public:
    // `target` and the relay must outlive every call queued for them. `ended` runs on the
    // dispatcher's thread before the target's Ended.
    ReportRelay(TVaDispatcher& to, FlashReport& target,
                std::function<void(const BoardResult&)> ended = {})
        : to_(to), target_(target), ended_(std::move(ended)) {}

    void Waiting(const std::string& port) override {
        Relay([port](FlashReport& r) { r.Waiting(port); });
    }
    void Greeted() override {
        Relay([](FlashReport& r) { r.Greeted(); });
    }
    void Started(int64_t blocksTotal, Clock::time_point at) override {
        Relay([=](FlashReport& r) { r.Started(blocksTotal, at); });
    }
    void Update(int64_t blocksSent, Clock::time_point at) override {
        Relay([=](FlashReport& r) { r.Update(blocksSent, at); });
    }
    void Finish(Clock::time_point at) override {
        Relay([=](FlashReport& r) { r.Finish(at); });
    }
    void Abandon() override {
        Relay([](FlashReport& r) { r.Abandon(); });
    }
    void Note(const std::string& text) override {
        Relay([text](FlashReport& r) { r.Note(text); });
    }
    void Line(const std::string& text) override {
        Relay([text](FlashReport& r) { r.Line(text); });
    }
    void WrongChecksum(uint32_t blockAddress, uint8_t expected, uint8_t received) override {
        Relay([=](FlashReport& r) { r.WrongChecksum(blockAddress, expected, received); });
    }
    void Ended(const BoardResult& result) override {
        Relay([this, result](FlashReport& r) {
            if (ended_) ended_(result);
            r.Ended(result);
        });
    }

private:
    void Relay(std::function<void(FlashReport&)> call) {
        to_.Post([&target = target_, call = std::move(call)] { call(target); });
    }

    TVaDispatcher& to_;
    FlashReport& target_;
    const std::function<void(const BoardResult&)> ended_;
};
