// SPDX-License-Identifier: MIT
// The console on Windows: standard error's console screen buffer, its code page and its mode.
#include <windows.h>

#include "cli/Terminal.h"

namespace {

HANDLE StandardError() {
    return ::GetStdHandle(STD_ERROR_HANDLE);
}

}  // namespace

bool StandardErrorIsTerminal() {
    DWORD mode = 0;
    // Not a console (redirected), or a console too old for the escapes: plain lines.
    return ::GetConsoleMode(StandardError(), &mode) && (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

int SystemTerminalColumns() {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!::GetConsoleScreenBufferInfo(StandardError(), &info)) return 0;
    return info.srWindow.Right - info.srWindow.Left + 1;
}

ConsoleSetup::ConsoleSetup() {
    // The texts are UTF-8 (the transfer's messages are Russian).
    codePage_ = ::GetConsoleOutputCP();
    if (codePage_ != 0) ::SetConsoleOutputCP(CP_UTF8);
    DWORD mode = 0;
    if (::GetConsoleMode(StandardError(), &mode) &&
        ::SetConsoleMode(StandardError(), mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING)) {
        mode_ = mode;
        modeSet_ = true;
    }
}

ConsoleSetup::~ConsoleSetup() {
    // The console outlives the program: the shell that started it gets it back as it was.
    if (modeSet_) ::SetConsoleMode(StandardError(), mode_);
    if (codePage_ != 0) ::SetConsoleOutputCP(codePage_);
}
