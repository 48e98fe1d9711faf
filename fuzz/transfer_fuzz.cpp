// SPDX-License-Identifier: MIT
// Arbitrary receive events, echoes, answers, starts and stops fed into the transfer with a fake
// port and a front end that checks what it is told. Errors the transfer raises are expected;
// crashes, overflows and hangs are not.
//
// Input: a flags byte (bit 0: the script follows in the input; bit 1: the port reads at most
// the next byte's count per call; bit 2: the wait before the first page command ends only at
// 0xF7, not right after the event that began it), then, with bit 0, a line count and for each line
// its length and characters; then operations until the input ends:
//   0x00-0xEF  an event of that many bytes taken from the input
//   0xF0 k     an event of the next k bytes the tool wrote (its echo)
//   0xF1 b     the whole outstanding echo and the byte b in one event
//   0xF2       started when stopped, stopped when started
//   0xF3 h     an event announcing h * 256 more bytes than are waiting
//   0xF4       the device's answer: the expected checksum
//   0xF5       started again while it runs
//   0xF6       the event's bytes handed over already read
//   0xF7       the wait before the first page command is over
//   other      reset as by a new window
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <exception>
#include <span>
#include <string>
#include <vector>

#include "loader/BootLoaderTransfer.h"

namespace {

class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Empty() const { return at_ >= size_; }
    uint8_t Byte() { return Empty() ? 0 : data_[at_++]; }
    std::vector<uint8_t> Bytes(size_t n) {
        const size_t take = std::min(n, size_ - std::min(at_, size_));
        std::vector<uint8_t> bytes(data_ + at_, data_ + at_ + take);
        at_ += take;
        return bytes;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

class Port : public TransferPort {
public:
    void SetDeviceName(const std::string&) override {}
    void Open() override { open = true; }
    void SetDtr(bool) override {}
    int32_t ReadBytes(void* buffer, int32_t count) override {
        auto* out = static_cast<uint8_t*>(buffer);
        int32_t n = 0;
        while (n < count && n < readLimit && !waiting.empty()) {
            out[n++] = waiting.front();
            waiting.pop_front();
        }
        return n;
    }
    int32_t WriteBytes(const void* buffer, int32_t count) override {
        const auto* bytes = static_cast<const uint8_t*>(buffer);
        line.insert(line.end(), bytes, bytes + count);
        return count;
    }
    void Close() override { open = false; }

    bool open = false;
    int32_t readLimit = INT32_MAX;
    std::deque<uint8_t> waiting;  // received, not yet read
    std::deque<uint8_t> line;     // written, not yet echoed
};

void Check(bool condition) {
    if (!condition) std::abort();
}

// Keeps the button as the window would, and checks what it is told: log lines as the exchange
// log writes them, and a message exactly with the events that tell the user something.
class FrontEnd : public TransferObserver {
public:
    void Logged(const std::string& line) override { Check(line.rfind(" - > ", 0) == 0); }
    void Happened(const TransferEvent& event) override {
        const bool told = event.message != TransferMessage::None;
        Check(told == (event.kind == TransferEventKind::Refused ||
                       event.kind == TransferEventKind::WrongChecksum ||
                       event.kind == TransferEventKind::LineFault ||
                       event.kind == TransferEventKind::DeviceGone ||
                       event.kind == TransferEventKind::Completed));
        switch (event.kind) {
            case TransferEventKind::Refused:
            case TransferEventKind::LineFault:
            case TransferEventKind::DeviceGone:
            case TransferEventKind::Completed:
                button = false;
                break;
            default:
                break;
        }
    }

    bool button = false;
};

const std::vector<std::string> kScript{
    "cmd 01:0000", "cmd 02:0000 10 0102030405060708090A0B0C0D0E0F10", "cmd 01:AA00",
    "cmd 02:AA00 00 ", "cmd 02:AA80 81 " + std::string(258, 'e')};

void SetScript(ConvertedUpdate& lists, const std::vector<std::string>& script) {
    lists.transferScript = script;
    lists.ScriptLineCount = static_cast<int64_t>(script.size());
}

void Start(BootLoaderTransfer& transfer, FrontEnd& front, const ConvertedUpdate& lists) {
    front.button = true;
    transfer.Start(lists, "COM1");
}

void Deliver(Port& port, BootLoaderTransfer& transfer, bool waitAtOnce,
             const std::vector<uint8_t>& bytes, int64_t extra = 0) {
    port.waiting.insert(port.waiting.end(), bytes.begin(), bytes.end());
    const int64_t count = static_cast<int64_t>(port.waiting.size()) + extra;
    transfer.Receive(static_cast<int32_t>(std::min<int64_t>(count, INT32_MAX)));
    if (waitAtOnce) transfer.FirstPageTime();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input input(data, size);
    Port port;
    FrontEnd front;
    ConvertedUpdate lists;
    BootLoaderTransfer transfer(port, front);
    transfer.Reset();

    const uint8_t flags = input.Byte();
    if (flags & 2) port.readLimit = input.Byte();
    const bool waitAtOnce = (flags & 4) == 0;
    if (flags & 1) {
        std::vector<std::string> script;
        for (int lines = input.Byte() % 16; lines > 0; --lines) {
            const std::vector<uint8_t> chars = input.Bytes(input.Byte());
            script.emplace_back(chars.begin(), chars.end());
        }
        SetScript(lists, script);
    } else {
        SetScript(lists, kScript);
    }
    try {
        Start(transfer, front, lists);
    } catch (const std::exception&) {
    }

    while (!input.Empty()) {
        const uint8_t op = input.Byte();
        try {
            if (op < 0xF0) {
                Deliver(port, transfer, waitAtOnce, input.Bytes(op));
            } else if (op == 0xF0) {
                std::vector<uint8_t> echo;
                for (int k = input.Byte(); k > 0 && !port.line.empty(); --k) {
                    echo.push_back(port.line.front());
                    port.line.pop_front();
                }
                Deliver(port, transfer, waitAtOnce, echo);
            } else if (op == 0xF1) {
                std::vector<uint8_t> echo(port.line.begin(), port.line.end());
                port.line.clear();
                echo.push_back(input.Byte());
                Deliver(port, transfer, waitAtOnce, echo);
            } else if (op == 0xF2) {
                if (front.button) {
                    front.button = false;
                    transfer.Stop();
                } else {
                    Start(transfer, front, lists);
                }
            } else if (op == 0xF3) {
                Deliver(port, transfer, waitAtOnce, {}, int64_t{input.Byte()} * 256 + 1);
            } else if (op == 0xF4) {
                Deliver(port, transfer, waitAtOnce, {transfer.ExpectedChecksum()});
            } else if (op == 0xF5) {
                SetScript(lists, kScript);
                Start(transfer, front, lists);
            } else if (op == 0xF6) {
                transfer.Receive(std::span<const uint8_t>(input.Bytes(input.Byte())));
            } else if (op == 0xF7) {
                transfer.FirstPageTime();
            } else {
                transfer.Reset();
            }
        } catch (const std::exception&) {
            // The window would show it; the transfer must stay usable.
        }
    }
    return 0;
}
