// SPDX-License-Identifier: MIT
// Our side of the oracle test (tests/oracle/oracle.py): update files converted as the window and
// tevr-flash convert them, and their transfer scripts played by the transfer into a simulated
// boot loader, noting every frame the transfer hands to the port.
//
// Reads files from standard input, each as its size in decimal on a line of its own followed by
// exactly that many bytes, and prints one line for each:
//   refused <fault>              the conversion refused the file: its fault, line and data
//                                ("outside-memory@3 10000", see support/Refusals.h)
//   sent <frame> <frame> ...     it converted; every frame of the transfer, in hexadecimal, from
//                                the greeting's answer to the end command
//   fault <message>              it converted, but the transfer did not reach its end command
// With --tool-chain-files it prints the files of support/ToolChainFiles.h instead, each as
// "<name> <size>" on a line of its own followed by its bytes.
#include <cstdint>
#include <exception>
#include <iostream>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "loader/BootLoaderTransfer.h"
#include "loader/Conversion.h"
#include "loader/Errors.h"
#include "sim/BootLoaderDevice.h"
#include "support/Refusals.h"
#include "support/ToolChainFiles.h"

namespace {
using Bytes = std::vector<uint8_t>;

// Keeps what is written; the transfer is handed the device's bytes directly.
class FramePort : public TransferPort {
public:
    void SetDeviceName(const std::string&) override {}
    void Open() override {}
    void SetDtr(bool) override {}
    int32_t ReadBytes(void*, int32_t) override { return 0; }
    int32_t WriteBytes(const void* buffer, int32_t count) override {
        const auto* bytes = static_cast<const uint8_t*>(buffer);
        frames.emplace_back(bytes, bytes + count);
        return count;
    }
    void Close() override {}

    std::vector<Bytes> frames;
};

class QuietObserver : public TransferObserver {
public:
    void Logged(const std::string&) override {}
    void Happened(const TransferEvent&) override {}
};

std::string OneLine(const std::string& text) {
    std::string line;
    for (char c : text) {
        if (c == '\n')
            line += "\\n";
        else if (c == '\r')
            line += "\\r";
        else
            line += c;
    }
    return line;
}

// The frames the transfer sends for the script, each answered as the boot loader answers it
// (echo first, then its acknowledgement or checksum); the end command is the last.
std::vector<Bytes> PlayScript(const ConvertedUpdate& lists) {
    FramePort port;
    QuietObserver observer;
    BootLoaderTransfer transfer(port, observer);
    BootLoaderDevice device;
    // The wait before the first page command is over at once: the device here keeps no time.
    const auto receive = [&](const Bytes& bytes) {
        transfer.Receive(std::span<const uint8_t>(bytes.data(), bytes.size()));
        transfer.FirstPageTime();
    };

    transfer.Start(lists, "oracle");
    receive({BootLoaderTransfer::kGreeting});
    for (size_t next = 0; next < port.frames.size() && !transfer.Completed(); ++next) {
        const Bytes frame = port.frames[next];
        receive(frame);
        Bytes answer;
        for (uint8_t byte : frame) {
            const BootLoaderDevice::Step step = device.Feed(byte);
            if (step.answers) answer.push_back(step.answer);
        }
        if (!answer.empty()) receive(answer);
    }
    if (!transfer.Completed()) throw std::runtime_error("the transfer stopped before its end");
    return port.frames;
}

std::string Hex(const Bytes& bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(2 * bytes.size());
    for (uint8_t b : bytes) {
        text += kDigits[b >> 4];
        text += kDigits[b & 15];
    }
    return text;
}

std::string Verdict(const std::string& bytes) {
    ConvertedUpdate lists;
    NullGauge gauge;
    try {
        ConvertUpdateBytes(bytes, lists, gauge);
    } catch (const EConvertError& e) {
        return "refused " + OneLine(Describe(e.Problem()));
    }
    try {
        std::string line = "sent";
        for (const Bytes& frame : PlayScript(lists))
            line += " " + Hex(frame);
        return line;
    } catch (const std::exception& e) {
        return "fault " + OneLine(e.what());
    }
}

// False at the end of the input; throws for input cut short or a size that does not read.
bool ReadFile(std::istream& in, std::string& bytes) {
    std::string size;
    if (!std::getline(in, size)) return false;
    bytes.resize(std::stoul(size));
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (in.gcount() != static_cast<std::streamsize>(bytes.size())) {
        throw std::runtime_error("input cut short");
    }
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    if (argc == 2 && std::string(argv[1]) == "--tool-chain-files") {
        for (const ToolChainFile& shape : ToolChainFiles()) {
            const std::string& text = shape.file.Text();
            std::cout << shape.name << ' ' << text.size() << '\n' << text;
        }
        return 0;
    }
    if (argc != 1) {
        std::cerr << "usage: oracle_driver [--tool-chain-files] < files\n";
        return 2;
    }
    try {
        std::string bytes;
        while (ReadFile(std::cin, bytes))
            std::cout << Verdict(bytes) << '\n';
    } catch (const std::exception& e) {
        std::cerr << "oracle_driver: " << e.what() << '\n';
        return 1;
    }
    std::cout.flush();
    return 0;
}
