// SPDX-License-Identifier: MIT
#pragma once
// One run of `tevr-flash flash`: the update file converted once, then one FlashSession for each
// port, each on a thread of its own with its own serial component and event loop, all at once.
// This thread shows their progress (one port as a bar or plain lines, several as a table and a
// summary), writes the journal, and on Ctrl-C, SIGTERM or SIGHUP stops every port.
#include <chrono>
#include <iosfwd>
#include <string>
#include <vector>

#include "line/BootLoaderPorts.h"

struct FlashRunOptions {
    std::string file;
    // Paths, COM1 to COM8, or USB selectors (usb:...); at least one.
    std::vector<std::string> ports;
    // Where a USB selector is looked up: at the start, and before each board of a station.
    TVaPortListRoots portRoots = BootLoaderPortRoots();
    std::chrono::milliseconds timeout{10000};
    bool log = false;          // the exchange log on standard error
    bool terminal = false;     // standard error is a terminal: bars redrawn in place
    bool repeat = false;       // station mode: board after board on every port until a signal
    std::string journal;       // the journal file; empty: none
    std::string expectSha256;  // lower-case; empty: any update file
    // Keys trusted besides the system's trusted-keys file: their text, or files of them.
    std::vector<std::string> trustedKeys;
    bool requireSignature = false;  // a file without a release signature is refused
    std::ostream* json = nullptr;   // JSON Lines of every port's events; null: none
};

// The update file is checked (lock, release signature) before any port opens.
// Returns the exit status: 0 every board done, 3 none failed but one stalled, 129, 130 or 143
// for a signal. Throws std::exception with the message when the update file does not convert,
// the journal does not open or a board failed (one port: the failure itself, "FILE: ..." or
// "PORT: ...").
int RunFlash(const FlashRunOptions& options, std::ostream& err);
