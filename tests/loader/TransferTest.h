// SPDX-License-Identifier: MIT
#pragma once
// The transfer with a fake port and host, driven event by event as the device and the line
// deliver them; port and host note their calls in one journal.
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
    FakeTransferPort port{journal};
    RecordingHost host{&journal};
    BootLoaderTransfer transfer{port, host};
};

// " - > " and the hex text of the bytes.
inline std::string LogLine(const Bytes& bytes) {
    std::string line = " - > ";
    for (uint8_t b : bytes)
        line += " " + HexDigits(b, 2);
    return line;
}

}  // namespace transfer_test
