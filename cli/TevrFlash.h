// SPDX-License-Identifier: MIT
#pragma once
// The command-line flasher as a library call, so that tests run it without a process.
#include <iosfwd>

// Exit statuses of tevr-flash.
enum TevrFlashExit : int {
    kExitOk = 0,
    kExitError = 1,          // the command failed; its message alone went to `err`
    kExitUsage = 2,          // the command line did not parse
    kExitStalled = 3,        // flash: no progress for the --timeout time
    kExitHungUp = 129,       // flash: SIGHUP (the terminal closed); the port was closed
    kExitInterrupted = 130,  // flash: Ctrl-C (SIGINT); the port was closed
    kExitTerminated = 143,   // flash: SIGTERM; the port was closed
};

// Parses the command line (argv[0] is the program name) and runs the chosen subcommand.
int RunTevrFlash(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
