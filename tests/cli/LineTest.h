// SPDX-License-Identifier: MIT
#pragma once
// The transfer end to end: the protocol over the real serial component on this thread's event
// loop, against the simulated boot loader on a pseudo-terminal. The port notes when every
// event's bytes were read and every frame was written; the front end keeps its controls in fields.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "line/BootLoaderLine.h"
#include "line/VaCommTransferPort.h"
#include "loader/BootLoaderTransfer.h"
#include "loader/Conversion.h"
#include "serial/VaComm.h"
#include "serial/VaEventLoop.h"
#include "sim/BootLoaderSim.h"
#include "support/TransferFakes.h"

namespace line_test {

using namespace std::chrono_literals;
using Noted = RecordingPort::Noted;

class LineTest : public ::testing::Test {
protected:
    LineTest() {
        ConfigureBootLoaderLine(comm);
        comm.OnRxChar = [this](TVaCustomComm&, int count) { transfer.Receive(count); };
        comm.OnException = [this](const std::exception& e) { errors.push_back(e.what()); };
        observer.realTime = true;
        transfer.Reset();
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
        observer.portName = sim->TerminalPath();
    }
    void SetScript(const std::vector<std::string>& lines) {
        observer.lists.transferScript = lines;
        observer.lists.ScriptLineCount = static_cast<int64_t>(lines.size());
        observer.gauge.max = static_cast<int32_t>(lines.size()) - 1;
    }
    void Convert(const std::string& file) {
        ConvertUpdateFile(file, observer.lists, observer.gauge);
    }
    // Switches the start button on, as a click does; the port is open before the device greets.
    void Start() {
        observer.button = true;
        transfer.Start(observer.lists, observer.portName);
        if (!simStarted) sim->Start();
        simStarted = true;
    }
    void Stop() {
        observer.button = false;
        transfer.Stop();
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
        for (const std::string& line : observer.exchangeLog)
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
    VaCommTransferPort commPort{comm};
    RecordingPort port{commPort};
    RecordingObserver observer;
    BootLoaderTransfer transfer{port, observer, observer.Ticks()};
    std::unique_ptr<BootLoaderSim> sim;
    bool simStarted = false;
    std::vector<std::string> errors;
};

}  // namespace line_test
