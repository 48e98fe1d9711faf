// SPDX-License-Identifier: MIT
#pragma once
// A port and a window made of plain fields, so the transfer runs without a line: the port hands
// out queued bytes and keeps what was written; both note their calls in one shared journal.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "loader/BootLoaderTransfer.h"

namespace transfer_test {

using Bytes = std::vector<uint8_t>;
using Journal = std::vector<std::string>;

class FakePort : public TransferPort {
public:
    explicit FakePort(Journal& journal) : journal_(journal) {}

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

class FakeGauge : public ProgressGauge {
public:
    explicit FakeGauge(Journal& journal) : journal_(journal) {}
    void SetMaxValue(int32_t value) override { max = value; }
    int32_t Progress() const override { return progress; }
    void SetProgress(int32_t value) override {
        progress = value;
        journal_.push_back("progress " + std::to_string(value));
    }
    int32_t max = 100;
    int32_t progress = 0;

private:
    Journal& journal_;
};

class FakeHost : public TransferHost {
public:
    explicit FakeHost(Journal& journal) : gauge(journal), journal_(journal) {}

    std::string Edit1Text() const override { return edit1; }
    std::string ComboBox1Text() const override { return comboBox1; }
    UpdateLists& Lists() override { return lists; }
    void SetLedChecked(bool checked) override {
        if (led != checked) journal_.push_back(checked ? "led on" : "led off");
        led = checked;
    }
    bool ButtonChecked() const override { return button; }
    void SetButtonChecked(bool checked) override {
        button = checked;
        journal_.push_back(checked ? "button on" : "button off");
    }
    ProgressGauge& Gauge() override { return gauge; }
    void ShowMessage(const std::string& text) override {
        messages.push_back(text);
        journal_.push_back("message " + text);
    }
    void TransferFinished(TransferEnding ending) override {
        static constexpr const char* kNames[] = {"running", "completed", "switched off",
                                                 "echo mismatch", "device gone"};
        journal_.push_back(std::string("finished ") + kNames[static_cast<int>(ending)]);
    }
    // Every reading advances the clock by one millisecond.
    uint32_t TickCount() override {
        ticks.push_back(tick);
        return tick++;
    }

    std::string edit1 = "update.bin";
    std::string comboBox1 = "COM3";
    UpdateLists lists;
    bool led = false;
    bool button = false;
    FakeGauge gauge;
    std::vector<std::string> messages;
    uint32_t tick = 1000;
    std::vector<uint32_t> ticks;

private:
    Journal& journal_;
};

// The worked two-line script: a page line and a 16-byte block line at 0000.
inline const std::vector<std::string> kWorkedScript{
    "cmd 01:0000", "cmd 02:0000 10 0102030405060708090A0B0C0D0E0F10"};

// A block line at `address` (4 digits) carrying `count` bytes starting at `first`.
inline std::string BlockLine(const std::string& address, unsigned count, unsigned first = 0) {
    char head[32];
    std::snprintf(head, sizeof head, "cmd 02:%s %02X ", address.c_str(), count & 0xFF);
    std::string line = head;
    for (unsigned i = 0; i < count; ++i) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02X", (first + i) & 0xFF);
        line += pair;
    }
    return line;
}

class TransferTest : public ::testing::Test {
protected:
    TransferTest() { transfer.FormCreate(); }

    void SetScript(const std::vector<std::string>& lines) {
        host.lists.Memo2 = lines;
        host.lists.ScriptLineCount = static_cast<int64_t>(lines.size());
        host.gauge.max = static_cast<int32_t>(lines.size()) - 1;
    }
    // Switches the start button on, as a click does, and runs the handler.
    void Start() {
        host.button = true;
        transfer.AbColBitBtn1Click();
    }
    void Stop() {
        host.button = false;
        transfer.AbColBitBtn1Click();
    }
    // One receive event carrying exactly these bytes.
    void Receive(const Bytes& bytes) {
        port.input.insert(port.input.end(), bytes.begin(), bytes.end());
        transfer.VaComm1RxChar(static_cast<int32_t>(port.input.size()));
    }
    // The echo of the last frame written, in events of at most `piece` bytes.
    void EchoLast(size_t piece = SIZE_MAX) {
        const Bytes frame = port.written.back();
        for (size_t at = 0; at < frame.size(); at += piece) {
            const size_t n = std::min(piece, frame.size() - at);
            Receive(Bytes(frame.begin() + at, frame.begin() + at + n));
        }
    }
    // Greeting, its answer's echo, the second greeting and the first page command's echo.
    void Handshake() {
        Receive({0x55});
        EchoLast();
        Receive({0xAA});
        EchoLast();
    }
    size_t Writes() const { return port.written.size(); }
    const Bytes& LastWrite() const { return port.written.back(); }
    const std::vector<std::string>& Log() const { return host.lists.Memo1; }

    Journal journal;
    FakePort port{journal};
    FakeHost host{journal};
    BootLoaderTransfer transfer{port, host};
};

// " - > " and the hex text of the bytes.
inline std::string LogLine(const Bytes& bytes) {
    std::string line = " - > ";
    for (uint8_t b : bytes) {
        char pair[4];
        std::snprintf(pair, sizeof pair, " %02X", b);
        line += pair;
    }
    return line;
}

}  // namespace transfer_test
