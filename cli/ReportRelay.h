// SPDX-License-Identifier: MIT
#pragma once
// A port's report handed over to the thread that shows it: every call is queued for `target` on
// the loop's thread and returns at once, so that a slow terminal never holds a transfer up. The
// calls arrive in the order they were made. Progress (Update) does not wake that thread: it
// comes with the next call or at the loop's next refresh, so that a transfer's every block does
// not cost a wake-up of the showing thread just as the next frame goes out.
#include <functional>
#include <string>

#include "cli/FlashReport.h"
#include "serial/VaEventLoop.h"

class ReportRelay final : public FlashReport {
public:
    // `target` and the relay must outlive every call queued for them. `ended` runs on the
    // loop's thread before the target's Ended.
    ReportRelay(TVaEventLoop& to, FlashReport& target,
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
        to_.PostQuietly([&target = target_, blocksSent, at] { target.Update(blocksSent, at); });
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

    TVaEventLoop& to_;
    FlashReport& target_;
    const std::function<void(const BoardResult&)> ended_;
};
