// SPDX-License-Identifier: MIT
#pragma once
// The check of a port's line before a flash: whether the port opens with the boot loader's
// settings and at which rate, the adapter behind it and whether it runs with low latency, and
// what the line carries: the boot loader's greetings, other traffic or nothing, or, when asked,
// whether probe bytes come back unchanged through the half-duplex loop.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/SubjectError.h"
#include "serial/VaPortList.h"
#include "serial/VaTypes.h"

struct LineCheckOptions {
    std::string port;  // a path, COM1 to COM8 or a USB selector
    std::chrono::milliseconds listen{2000};
    bool echo = false;  // send the probe bytes instead of only listening
    TVaPortListRoots portRoots;
};

enum class LineHeard { Greetings, Traffic, Silence };
enum class EchoVerdict { NotProbed, Unchanged, Missing, Changed };

struct LineCheckResult {
    std::string port;
    std::string path;                   // what the port resolved to
    std::optional<SubjectError> error;  // the port did not open, with the flash's hints
    uint32_t rate = 0;                  // read back from the driver; 0: it does not tell
    TVaPortAdapter adapter;             // as the system tells it once the port is open
    // What came of asking the driver for low latency as the port opened.
    TVaLowLatency lowLatency = llNotApplicable;
    LineHeard heard = LineHeard::Silence;
    int greetings = 0;
    int64_t otherBytes = 0;
    EchoVerdict echo = EchoVerdict::NotProbed;
    double roundTripMs = 0;
    bool ready = false;
    // What the check found, a line each, the verdict last; the adapter's warnings among them.
    std::vector<std::string> lines;
};

// The probe bytes of --echo: no greeting, greeting answer or command byte of the boot loader.
extern const std::vector<uint8_t> kLineProbe;

// Never throws for the port: a port that does not open is a result.
LineCheckResult CheckLine(const LineCheckOptions& options);
