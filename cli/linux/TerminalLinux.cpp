// SPDX-License-Identifier: MIT
// The terminal on Linux: standard error's descriptor and its window size.
#include <sys/ioctl.h>
#include <unistd.h>

#include "cli/Terminal.h"

bool StandardErrorIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

int SystemTerminalColumns() {
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0) return size.ws_col;
    return 0;
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

// A terminal takes UTF-8 and the escapes as it is.
struct ConsoleSetup::Saved {};
ConsoleSetup::ConsoleSetup() = default;
ConsoleSetup::~ConsoleSetup() = default;
