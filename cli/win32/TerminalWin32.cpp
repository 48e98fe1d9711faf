// SPDX-License-Identifier: MIT
// The console on Windows: standard error's console screen buffer, its code page and its mode.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "base/ScopeGuard.h"
#include "base/WideText.h"
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

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
    const ScopeGuard release([wide] { ::LocalFree(wide); });
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(Utf8FromWide(wide[i]));
    return arguments;
}

struct ConsoleSetup::Saved {
    UINT codePage = 0;  // 0: no console
    DWORD mode = 0;
    bool modeSet = false;
};

ConsoleSetup::ConsoleSetup() : saved_(std::make_unique<Saved>()) {
    // The texts are UTF-8 (the transfer's messages are Russian).
    saved_->codePage = ::GetConsoleOutputCP();
    if (saved_->codePage != 0) ::SetConsoleOutputCP(CP_UTF8);
    DWORD mode = 0;
    if (::GetConsoleMode(StandardError(), &mode) &&
        ::SetConsoleMode(StandardError(), mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING)) {
        saved_->mode = mode;
        saved_->modeSet = true;
    }
}

ConsoleSetup::~ConsoleSetup() {
    // The console outlives the program: the shell that started it gets it back as it was.
    if (saved_->modeSet) ::SetConsoleMode(StandardError(), saved_->mode);
    if (saved_->codePage != 0) ::SetConsoleOutputCP(saved_->codePage);
}
