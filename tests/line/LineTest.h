// SPDX-License-Identifier: MIT
#pragma once
// The transfer end to end: the session core under the window's rules over the real serial
// component on this thread's event loop, against the simulated boot loader on a pseudo-terminal.
// The port notes when every event's bytes were read and every frame was written; the front end
// keeps its controls in fields, and the test drives the core as a front end does: the port's
// events, and a tick at each deadline.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "files/FileConversion.h"
#include "line/BoardSessionCore.h"
#include "line/BootLoaderLine.h"
#include "line/VaCommTransferPort.h"
#include "loader/BootLoaderTransfer.h"
#include "loader/Conversion.h"
#include "loader/UpdateImage.h"
#include "serial/VaComm.h"
#include "serial/VaEventLoop.h"
#include "sim/BootLoaderSim.h"
#include "support/TransferFakes.h"

namespace line_test {

using namespace std::chrono_literals;
using Noted = RecordingPort::Noted;
using Clock = std::chrono::steady_clock;

// The bytes the update file defines must all be in the device's memory; returns how many there
// are.
inline int64_t ExpectImageHolds(const std::string& file, const Bytes& image) {
    const UpdateImage expected = ReadUpdateImage(file);
    int64_t checked = 0;
    std::vector<uint32_t> differing;
    for (uint32_t address = 0; address < UpdateImage::kSize; ++address) {
        if (!expected.Defined(address)) continue;
        ++checked;
        if (address >= image.size() || image[address] != expected.Byte(address))
            differing.push_back(address);
    }
    EXPECT_GT(checked, 0);
    EXPECT_TRUE(differing.empty())
        << differing.size() << " bytes differ, the first at " << differing.front();
    return checked;
}

// The window's side of the session: every step goes to the recording front end, every error
// into the list.
class SteppedFrontEnd final : public BoardSessionObserver {
public:
    SteppedFrontEnd(RecordingObserver& front, std::vector<std::string>& errors)
        : front_(front), errors_(errors) {}
    void Logged(const std::string& line) override { front_.Logged(line); }
    void Stepped(const TransferEvent& event) override { front_.Happened(event); }
    void Erred(const std::exception& error, const BoardCause&) override {
        errors_.push_back(error.what());
    }

private:
    RecordingObserver& front_;
    std::vector<std::string>& errors_;
};

class LineTest : public ::testing::Test {
protected:
    LineTest() {
        ConfigureBootLoaderLine(comm);
        comm.OnRxChar = [this](TVaCustomComm&, int count) {
            session.Received(count, Clock::now());
            if (commPort.Transmitted()) session.Written(Clock::now());
        };
        comm.OnException = [this](const std::exception& e) { errors.push_back(e.what()); };
        comm.OnDeviceGone = [this](TVaCustomComm&) { session.DeviceGone(); };
        session.Reset();
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
        session.Start(observer.lists, observer.portName, Clock::now());
        if (!simStarted) sim->Start();
        simStarted = true;
    }
    void Stop() {
        observer.button = false;
        session.Stop();
    }
    // Runs the loop until `done` or an error, ticking the session at its deadlines.
    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 30s) {
        const auto end = Clock::now() + limit;
        for (;;) {
            if (!errors.empty()) return false;
            if (done()) return true;
            const auto now = Clock::now();
            if (now >= end) return false;
            const std::optional<Clock::time_point> due = session.Deadline();
            const auto until = due ? std::min(*due, end) : end;
            loop->RunUntil([&] { return done() || !errors.empty() || session.Deadline() != due; },
                           std::chrono::ceil<std::chrono::milliseconds>(until - now));
            session.Tick(Clock::now());
        }
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
    std::vector<std::string> errors;
    SteppedFrontEnd frontEnd{observer, errors};
    // The window's rules: no stall time-out, errors shown and the transfer left to go on.
    BoardSessionCore session{
        port,
        frontEnd,
        {.stallTimeout = std::nullopt, .waitForBoard = false, .errors = SessionErrors::CarryOn}};
    const BootLoaderTransfer& transfer = session.Transfer();
    std::unique_ptr<BootLoaderSim> sim;
    bool simStarted = false;
};

}  // namespace line_test
