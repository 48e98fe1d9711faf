// SPDX-License-Identifier: MIT
#include "cli/LineCheck.h"
#include "base/Translation.h"

#include <cmath>
#include <cstdlib>
#include <memory>

#include "cli/PortSelector.h"
#include "line/BootLoaderLine.h"
#include "serial/VaComm.h"
#include "serial/VaEventLoop.h"
#include "serial/VaPort.h"
#include "serial/VaUtils.h"
#include "words/Words.h"

const std::vector<uint8_t> kLineProbe{0x00, 0xFF, 0x0F, 0xF0, 0x5A, 0xA5};

namespace {
using Clock = std::chrono::steady_clock;

constexpr uint32_t kLineRate = 10400;
constexpr uint8_t kGreeting = 0x55;
// An echo comes back within a few byte times; an adapter's latency timer may add up to 255 ms.
constexpr auto kEchoLimit = std::chrono::milliseconds(1000);
// The FTDI driver's default, which holds back every block's checksum.
constexpr int kSlowLatencyMs = 2;
constexpr int64_t kBlocksIn64KiB = 512;

std::string RateLine(uint32_t rate) {
    if (rate == 0) return Tr("opens; the driver does not tell the rate it runs");
    if (rate == kLineRate) return Tr("opens at 10400 bit/s exactly");
    const double off = 100.0 * std::fabs(static_cast<double>(rate) - kLineRate) / kLineRate;
    return Fill(off <= 2 ? Tr("opens at %1 bit/s, not 10400 exactly (%2 %% off, within what a UART "
                              "copes with)")
                         : Tr("opens at %1 bit/s, not 10400 exactly (%2 %% off: too far for the "
                              "line)"),
                {std::to_string(rate), DecimalText(off, 1)});
}

void DescribeAdapter(LineCheckResult& result) {
    const TVaPortAdapter& adapter = result.adapter;
    if (adapter.Driver.empty() && adapter.Identity.VendorId.empty()) return;
    // The driver's name stands as the system gives it, said to be a driver's so that it does not
    // read as a word of the sentence ("adapter port" from the built-in port's driver).
    std::string parts;
    const auto add = [&parts](const std::string& part) {
        parts += (parts.empty() ? "" : ", ") + part;
    };
    if (!adapter.Identity.VendorId.empty()) add(UsbSelector(adapter.Identity));
    if (!adapter.Driver.empty()) add(Fill(Tr("driver %1"), {adapter.Driver}));
    if (adapter.LatencyTimerMs >= 0)
        add(Fill(Tr("latency timer %1 ms"), {std::to_string(adapter.LatencyTimerMs)}));
    // TRANSLATORS: what is known of the port's adapter: "adapter: usb:0403:6001, driver
    // ftdi_sio, latency timer 16 ms".
    result.lines.push_back(Fill(Tr("adapter: %1"), {parts}));
    if (adapter.LatencyTimerMs < kSlowLatencyMs) return;
    const double seconds = static_cast<double>(adapter.LatencyTimerMs * kBlocksIn64KiB) / 1000;
    const std::string name = result.path.substr(result.path.find_last_of("/\\") + 1);
    result.lines.push_back(Fill(
        Tr("warning: the latency timer of %1 ms holds back each block's answer in the adapter (up "
           "to %2 s more on 64 KiB); set it to 1 ms: on Linux echo 1 | sudo tee "
           "/sys/bus/usb-serial/devices/%3/latency_timer, on Windows the port's Advanced settings "
           "in the Device Manager"),
        {std::to_string(adapter.LatencyTimerMs), DecimalText(seconds, 1), name}));
}

// Nothing to say where the system has no such request (Windows: the driver's settings hold it).
void DescribeLowLatency(LineCheckResult& result) {
    switch (result.lowLatency) {
        case llOn:
            result.lines.push_back(
                Tr("low latency on: the driver hands received bytes on at once (an FTDI adapter's "
                   "latency timer runs at 1 ms)"));
            break;
        case llUnsupported:
            result.lines.push_back(
                Tr("low latency not supported by this port: nothing to ask (a pseudo-terminal, or "
                   "a driver without the setting)"));
            break;
        case llRefused:
            result.lines.push_back(
                Tr("low latency refused by the driver: received bytes may wait for the adapter's "
                   "latency timer"));
            break;
        case llNotApplicable:
            break;
    }
}

// Bytes as they arrived, with the time of each event.
struct Heard {
    std::vector<uint8_t> bytes;
    Clock::time_point last{};
};

void Listen(const LineCheckOptions& options, LineCheckResult& result, const Heard& heard) {
    for (uint8_t byte : heard.bytes) {
        if (byte == kGreeting)
            ++result.greetings;
        else
            ++result.otherBytes;
    }
    const std::string seconds = DecimalText(static_cast<double>(options.listen.count()) / 1000, 1);
    if (result.otherBytes > 0) {
        result.heard = LineHeard::Traffic;
        const auto count = static_cast<unsigned long>(result.otherBytes);
        result.lines.push_back(
            Fill(TrN("traffic on the line: %1 byte that is no greeting in %2 s (another device, or "
                     "the on-board computer's program rather than its boot loader)",
                     "traffic on the line: %1 bytes that are no greeting in %2 s (another device, "
                     "or the on-board computer's program rather than its boot loader)",
                     count),
                 {std::to_string(count), seconds}));
    } else if (result.greetings > 0) {
        result.heard = LineHeard::Greetings;
        const auto count = static_cast<unsigned long>(result.greetings);
        result.lines.push_back(Fill(TrN("boot loader is running (%1 greeting in %2 s)",
                                        "boot loader is running (%1 greetings in %2 s)", count),
                                    {std::to_string(count), seconds}));
    } else {
        result.lines.push_back(Fill(Tr("silence in %1 s: nothing on the line"), {seconds}));
    }
}

void JudgeEcho(LineCheckResult& result, const Heard& heard, Clock::time_point sent) {
    // Greetings of a boot loader already running are no part of the echo.
    std::vector<uint8_t> echo;
    for (uint8_t byte : heard.bytes) {
        if (byte == kGreeting)
            ++result.greetings;
        else
            echo.push_back(byte);
    }
    if (result.greetings > 0) result.heard = LineHeard::Greetings;
    if (echo.empty()) {
        result.echo = EchoVerdict::Missing;
        result.lines.push_back(Fill(Tr("no echo of the %1 probe bytes: the adapter has no "
                                       "half-duplex loop, or the line has no supply voltage"),
                                    {std::to_string(kLineProbe.size())}));
        return;
    }
    result.roundTripMs = std::chrono::duration<double, std::milli>(heard.last - sent).count();
    if (echo == kLineProbe) {
        result.echo = EchoVerdict::Unchanged;
        result.lines.push_back(Fill(Tr("the probe bytes came back unchanged in %1 ms"),
                                    {DecimalText(result.roundTripMs, 1)}));
        return;
    }
    result.echo = EchoVerdict::Changed;
    result.lines.push_back(Fill(Tr("the probe bytes came back changed (%1 of %2 bytes, not as "
                                   "sent): a line fault, check the cable and the adapter"),
                                {std::to_string(echo.size()), std::to_string(kLineProbe.size())}));
}
}  // namespace

LineCheckResult CheckLine(const LineCheckOptions& options) {
    LineCheckResult result;
    result.port = options.port;
    try {
        result.path = ResolvePort(options.port, options.portRoots);
    } catch (const SubjectError& e) {
        result.error = e;
        result.lines.push_back(Fill(Tr("line not ready: %1"), {e.Message()}));
        return result;
    }
    result.adapter = PortAdapter(VaSystemDevicePath(result.path), options.portRoots);

    auto loop = std::make_shared<TVaEventLoop>();
    TVaComm comm(loop);
    ConfigureBootLoaderLine(comm);
    Heard heard;
    comm.OnRxChar = [&heard](TVaCustomComm& sender, int count) {
        const size_t at = heard.bytes.size();
        heard.bytes.resize(at + static_cast<size_t>(count));
        const int got = sender.ReadBytes(heard.bytes.data() + at, count);
        heard.bytes.resize(at + static_cast<size_t>(std::max(got, 0)));
        heard.last = Clock::now();
    };
    std::optional<SubjectError> failure;
    comm.OnException = [&](const std::exception& e) {
        if (!failure) failure = PortError(options.port, e);
    };
    try {
        comm.SetDeviceName(result.path);
        comm.Open();
        result.rate = comm.ReadRate();
    } catch (const std::exception& e) {
        result.error = PortError(options.port, e);
        // The message says that it does not open, and why.
        result.lines.push_back(result.error->Message());
        for (const std::string& hint : result.error->Hints())
            result.lines.push_back(hint);
        DescribeAdapter(result);
        result.lines.push_back(Tr("line not ready"));
        return result;
    }
    const bool rateOk = result.rate == 0 || VaRateClose(result.rate, kLineRate);
    result.lines.push_back(RateLine(result.rate));
    // The open asked for low latency, which changes an FTDI adapter's latency timer: as it is now.
    result.lowLatency = comm.LowLatency();
    result.adapter = PortAdapter(VaSystemDevicePath(result.path), options.portRoots);
    DescribeAdapter(result);
    DescribeLowLatency(result);

    if (options.echo) {
        const auto sent = Clock::now();
        comm.WriteBytes(kLineProbe.data(), static_cast<int>(kLineProbe.size()));
        const auto echoed = [&] {
            size_t others = 0;
            for (uint8_t byte : heard.bytes)
                others += byte != kGreeting;
            return failure || others >= kLineProbe.size();
        };
        loop->RunUntil(echoed, std::chrono::duration_cast<std::chrono::milliseconds>(kEchoLimit));
        // A little longer for a byte too many, which a fault may add.
        loop->RunUntil([&] { return failure.has_value(); }, std::chrono::milliseconds(20));
        if (!failure) JudgeEcho(result, heard, sent);
    } else {
        loop->RunUntil([&] { return failure.has_value(); }, options.listen);
        if (!failure) Listen(options, result, heard);
    }
    comm.Close();
    if (failure) {
        result.error = failure;
        result.lines.push_back(Fill(Tr("line not ready: %1"), {failure->Message()}));
        return result;
    }
    result.ready = rateOk && (options.echo ? result.echo == EchoVerdict::Unchanged
                                           : result.heard != LineHeard::Traffic);
    result.lines.push_back(result.ready ? Tr("line ready") : Tr("line not ready"));
    return result;
}
