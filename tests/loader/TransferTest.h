// SPDX-License-Identifier: MIT
#pragma once
// The transfer with a fake port and front end, driven event by event as the device and the line
// deliver them; port and front end note their calls in one journal.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "base/HexDigits.h"
#include "loader/BootLoaderTransfer.h"
#include "support/TransferFakes.h"
#include "support/WorkedExample.h"

namespace transfer_test {

// A block line at `address` (4 digits) carrying `count` bytes starting at `first`.
inline std::string BlockLine(const std::string& address, unsigned count, unsigned first = 0) {
    std::string line = "cmd 02:" + address + " " + HexDigits(count & 0xFF, 2) + " ";
    for (unsigned i = 0; i < count; ++i)
        line += HexDigits((first + i) & 0xFF, 2);
    return line;
}

class TransferTest : public ::testing::Test {
protected:
    TransferTest() { transfer.Reset(); }

    void SetScript(const std::vector<std::string>& lines) {
        observer.lists.transferScript = lines;
        observer.lists.ScriptLineCount = static_cast<int64_t>(lines.size());
        observer.gauge.max = static_cast<int32_t>(lines.size()) - 1;
    }
    // Switches the start button on, as a click does, and starts the transfer.
    void Start() {
        observer.button = true;
        transfer.Start(observer.lists, observer.portName);
    }
    void Stop() {
        observer.button = false;
        transfer.Stop();
    }
    // One receive event carrying exactly these bytes. Unless told otherwise, the wait before the
    // first page command is over as soon as it begins, as if its driver's time had come.
    void Receive(const Bytes& bytes) {
        port.input.insert(port.input.end(), bytes.begin(), bytes.end());
        transfer.Receive(static_cast<int32_t>(port.input.size()));
        if (firstPageAtOnce) transfer.FirstPageTime();
    }
    // The echo of the last frame written, in events of at most `piece` bytes.
    void EchoLast(size_t piece = SIZE_MAX) {
        const Bytes frame = port.written.back();
        for (size_t at = 0; at < frame.size(); at += piece) {
            const size_t n = std::min(piece, frame.size() - at);
            Receive(Bytes(frame.data() + at, frame.data() + at + n));
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
    const std::vector<std::string>& Log() const { return observer.exchangeLog; }

    Journal journal;
    FakeTransferPort port{journal};
    RecordingObserver observer{&journal};
    BootLoaderTransfer transfer{port, observer};
    bool firstPageAtOnce = true;
};

// " - > " and the hex text of the bytes.
inline std::string LogLine(const Bytes& bytes) {
    std::string line = " - > ";
    for (uint8_t b : bytes)
        line += " " + HexDigits(b, 2);
    return line;
}

}  // namespace transfer_test
