// SPDX-License-Identifier: MIT
#pragma once
// The transfer end to end: the protocol over the real serial component on this thread's event
// loop, against the simulated boot loader on a pseudo-terminal. The port notes when every
// event's bytes were read and every frame was written; the host keeps its controls in fields.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "line/BootLoaderLine.h"
#include "loader/BootLoaderTransfer.h"
#include "loader/Conversion.h"
#include "line/VaCommTransferPort.h"
#include "serial/VaComm.h"
#include "serial/VaEventLoop.h"
#include "sim/BootLoaderSim.h"

namespace line_test {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

struct Noted {
    Clock::time_point at;
    Bytes bytes;
};

class RecordingPort : public TransferPort {
public:
    explicit RecordingPort(TVaCustomComm& comm) : inner_(comm) {}

    void SetDeviceName(const std::string& name) override { inner_.SetDeviceName(name); }
    void Open() override { inner_.Open(); }
    void SetDtr(bool on) override { inner_.SetDtr(on); }
    int32_t ReadBytes(void* buffer, int32_t count) override {
        const int32_t got = inner_.ReadBytes(buffer, count);
        const auto* bytes = static_cast<const uint8_t*>(buffer);
        if (got > 0) reads.push_back({Clock::now(), Bytes(bytes, bytes + got)});
        return got;
    }
    int32_t WriteBytes(const void* buffer, int32_t count) override {
        const auto* bytes = static_cast<const uint8_t*>(buffer);
        writes.push_back({Clock::now(), Bytes(bytes, bytes + count)});
        return inner_.WriteBytes(buffer, count);
    }
    void Close() override { inner_.Close(); }

    std::vector<Noted> reads;
    std::vector<Noted> writes;

private:
    VaCommTransferPort inner_;
};

class PlainHost : public TransferHost, public ProgressGauge {
public:
    std::string Edit1Text() const override { return edit1; }
    std::string ComboBox1Text() const override { return comboBox1; }
    UpdateLists& Lists() override { return lists; }
    void SetLedChecked(bool checked) override { led = checked; }
    bool ButtonChecked() const override { return button; }
    void SetButtonChecked(bool checked) override { button = checked; }
    ProgressGauge& Gauge() override { return *this; }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void TransferFinished(TransferEnding ending) override { endings.push_back(ending); }
    uint32_t TickCount() override {
        return static_cast<uint32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch())
                .count());
    }
    void SetMaxValue(int32_t value) override { maxValue = value; }
    int32_t Progress() const override { return progress; }
    void SetProgress(int32_t value) override {
        progress = value;
        progressSeen.push_back(value);
    }

    std::string edit1 = "update.bin";
    std::string comboBox1;
    UpdateLists lists;
    bool led = false;
    bool button = false;
    int32_t maxValue = 0;
    int32_t progress = 0;
    std::vector<int32_t> progressSeen;
    std::vector<std::string> messages;
    std::vector<TransferEnding> endings;
};

class LineTest : public ::testing::Test {
protected:
    LineTest() {
        ConfigureBootLoaderLine(comm);
        comm.OnRxChar = [this](TVaCustomComm&, int count) { transfer.VaComm1RxChar(count); };
        comm.OnException = [this](const std::exception& e) { errors.push_back(e.what()); };
        transfer.FormCreate();
    }
    ~LineTest() override {
        comm.Close();
        if (!sim) return;
        sim->Stop();
        EXPECT_EQ(sim->ProtocolFaults(), std::vector<std::string>{})
            << "the device refused commands";
    }

    // The device, with its line open; it starts greeting at the first Start.
    void Launch(SimOptions options = {}) {
        sim = std::make_unique<BootLoaderSim>(std::move(options));
        host.comboBox1 = sim->TerminalPath();
    }
    void SetScript(const std::vector<std::string>& lines) {
        host.lists.Memo2 = lines;
        host.lists.ScriptLineCount = static_cast<int64_t>(lines.size());
        host.maxValue = static_cast<int32_t>(lines.size()) - 1;
    }
    void Convert(const std::string& file) {
        host.edit1 = file;
        ConvertUpdateFile(file, host.lists, host);
    }
    // Switches the start button on, as a click does; the port is open before the device greets.
    void Start() {
        host.button = true;
        transfer.AbColBitBtn1Click();
        if (!simStarted) sim->Start();
        simStarted = true;
    }
    void Stop() {
        host.button = false;
        transfer.AbColBitBtn1Click();
    }
    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 30s) {
        return loop->RunUntil([&] { return done() || !errors.empty(); }, limit) && errors.empty();
    }
    bool RunToCompletion(std::chrono::milliseconds limit = 30s) {
        return RunUntil([this] { return transfer.Completed() && !transfer.Running(); }, limit);
    }
    // Every byte of the exchange log, in order.
    Bytes LoggedBytes() const {
        Bytes bytes;
        for (const std::string& line : host.lists.Memo1)
            for (size_t at = 6; at + 2 <= line.size(); at += 3)
                bytes.push_back(static_cast<uint8_t>(std::stoul(line.substr(at, 2), nullptr, 16)));
        return bytes;
    }
    static Bytes Joined(const std::vector<Bytes>& pieces) {
        Bytes all;
        for (const Bytes& piece : pieces)
            all.insert(all.end(), piece.begin(), piece.end());
        return all;
    }

    std::shared_ptr<TVaEventLoop> loop = std::make_shared<TVaEventLoop>();
    TVaComm comm{loop};
    RecordingPort port{comm};
    PlainHost host;
    BootLoaderTransfer transfer{port, host};
    std::unique_ptr<BootLoaderSim> sim;
    bool simStarted = false;
    std::vector<std::string> errors;
};

}  // namespace line_test
