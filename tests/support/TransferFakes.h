// SPDX-License-Identifier: MIT
#pragma once
// The transfer's surroundings made of plain fields, so that it runs without a window: a port
// that hands out queued bytes and keeps what was written, a port that notes what passes through
// another one, a gauge and a front end that records what the transfer tells it. They may note
// their calls in one shared journal.
#include <chrono>
#include <cstdint>
#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#include "loader/ConvertedUpdate.h"
#include "loader/ProgressGauge.h"
#include "loader/TransferObserver.h"
#include "loader/TransferPort.h"

using Bytes = std::vector<uint8_t>;
using Journal = std::vector<std::string>;

class FakeTransferPort : public TransferPort {
public:
    explicit FakeTransferPort(Journal& journal) : journal_(journal) {}

    void SetDeviceName(const std::string& name) override {
        deviceName = name;
        journal_.push_back("device " + name);
    }
    void Open() override {
        if (!openError.empty()) throw std::runtime_error(openError);
        open = true;
        journal_.push_back("open");
    }
    void SetDtr(bool on) override {
        if (!dtrError.empty()) throw std::runtime_error(dtrError);
        dtr = on;
        journal_.push_back(on ? "dtr on" : "dtr off");
    }
    int32_t ReadBytes(void* buffer, int32_t count) override {
        ++reads;
        int32_t n = 0;
        auto* out = static_cast<uint8_t*>(buffer);
        while (n < count && n < readLimit && !input.empty()) {
            out[n++] = input.front();
            input.pop_front();
        }
        return n;
    }
    int32_t WriteBytes(const void* buffer, int32_t count) override {
        const auto* bytes = static_cast<const uint8_t*>(buffer);
        written.emplace_back(bytes, bytes + count);
        journal_.push_back("write " + std::to_string(count));
        return count;
    }
    void Close() override {
        if (open) journal_.push_back("close");
        open = false;
    }

    std::string deviceName;
    std::string openError;  // Open throws this when set
    std::string dtrError;   // SetDtr throws this when set
    bool open = false;
    bool dtr = true;
    int32_t readLimit = INT32_MAX;  // at most this many bytes per ReadBytes
    int reads = 0;
    std::deque<uint8_t> input;
    std::vector<Bytes> written;

private:
    Journal& journal_;
};

// Every read and write that passes through `inner`, with the time it happened.
class RecordingPort : public TransferPort {
public:
    struct Noted {
        std::chrono::steady_clock::time_point at;
        Bytes bytes;
    };

    explicit RecordingPort(TransferPort& inner) : inner_(inner) {}

    void SetDeviceName(const std::string& name) override { inner_.SetDeviceName(name); }
    void Open() override { inner_.Open(); }
    void SetDtr(bool on) override { inner_.SetDtr(on); }
    int32_t ReadBytes(void* buffer, int32_t count) override {
        const int32_t got = inner_.ReadBytes(buffer, count);
        const auto* bytes = static_cast<const uint8_t*>(buffer);
        if (got > 0) reads.push_back({std::chrono::steady_clock::now(), Bytes(bytes, bytes + got)});
        return got;
    }
    int32_t WriteBytes(const void* buffer, int32_t count) override {
        const auto* bytes = static_cast<const uint8_t*>(buffer);
        writes.push_back({std::chrono::steady_clock::now(), Bytes(bytes, bytes + count)});
        return inner_.WriteBytes(buffer, count);
    }
    void Close() override { inner_.Close(); }

    std::vector<Noted> reads;
    std::vector<Noted> writes;

private:
    TransferPort& inner_;
};

// Keeps every maximum and position it is given.
class RecordingGauge : public ProgressGauge {
public:
    explicit RecordingGauge(Journal* journal = nullptr) : journal_(journal) {}

    void SetMaxValue(int32_t value) override {
        max = value;
        maxima.push_back(value);
    }
    int32_t Progress() const override { return progress; }
    void SetProgress(int32_t value) override {
        progress = value;
        progressSeen.push_back(value);
        if (journal_) journal_->push_back("progress " + std::to_string(value));
    }

    int32_t max = 100;
    int32_t progress = 0;
    std::vector<int32_t> maxima;
    std::vector<int32_t> progressSeen;

private:
    Journal* journal_;
};

// The front end as fields: it logs, and moves its LED, start button and gauge, and shows its
// messages on the transfer's events as the window does.
class RecordingObserver : public TransferObserver {
public:
    explicit RecordingObserver(Journal* journal = nullptr) : gauge(journal), journal_(journal) {}

    void Logged(const std::string& line) override { exchangeLog.push_back(line); }
    void Happened(const TransferEvent& event) override {
        events.push_back(event);
        switch (event.kind) {
            case TransferEventKind::Refused:
                Message(event.message);
                SetButton(false);
                break;
            case TransferEventKind::GreetingAnswered:
                SetLed(true);
                break;
            case TransferEventKind::FrameSent:
                gauge.SetProgress(gauge.Progress() + 1);
                SetLed(true);
                break;
            case TransferEventKind::BlockConfirmed:
                break;
            case TransferEventKind::WrongChecksum:
                Message(event.message);
                break;
            case TransferEventKind::LineFault:
            case TransferEventKind::DeviceGone:
                SetButton(false);
                SetLed(false);
                gauge.SetProgress(0);
                Finished(event.ending);
                Message(event.message);
                break;
            case TransferEventKind::Completed:
                Finished(TransferEnding::Completed);
                Message(event.message);
                SetButton(false);
                break;
            case TransferEventKind::Stopped:
                if (event.ending == TransferEnding::Completed) SetLed(false);
                gauge.SetProgress(0);
                if (event.ending == TransferEnding::SwitchedOff) Finished(event.ending);
                break;
        }
    }
    std::string portName = "COM3";
    ConvertedUpdate lists;  // the script started with
    std::vector<std::string> exchangeLog;
    bool led = false;
    bool button = false;
    RecordingGauge gauge;
    std::vector<TransferMessage> messages;
    std::vector<TransferEnding> endings;
    std::vector<TransferEvent> events;

private:
    void SetLed(bool checked) {
        if (led != checked) Note(checked ? "led on" : "led off");
        led = checked;
    }
    void SetButton(bool checked) {
        button = checked;
        Note(checked ? "button on" : "button off");
    }
    void Message(TransferMessage message) {
        static constexpr const char* kNames[] = {"None", "NoScript",     "BadChecksum",
                                                 "Done", "EchoMismatch", "DeviceGone"};
        messages.push_back(message);
        Note(std::string("message ") + kNames[static_cast<int>(message)]);
    }
    void Finished(TransferEnding ending) {
        static constexpr const char* kNames[] = {"running", "completed", "switched off",
                                                 "echo mismatch", "device gone"};
        endings.push_back(ending);
        Note(std::string("finished ") + kNames[static_cast<int>(ending)]);
    }
    void Note(const std::string& line) {
        if (journal_) journal_->push_back(line);
    }

    Journal* journal_;
};
