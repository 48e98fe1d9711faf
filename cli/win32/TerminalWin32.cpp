// SPDX-License-Identifier: MIT
// The console on Windows: standard error's console screen buffer, its code page and its mode.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <iostream>
#include <memory>
#include <streambuf>
#include <string>

#include "base/ScopedGeneric.h"
#include "base/WideText.h"
#include "cli/Terminal.h"

namespace {

// The argument vector of CommandLineToArgvW, one block of local memory.
using ScopedArgumentVector = ScopedGeneric<ZeroIsNoneTraits<LPWSTR*, &::LocalFree>>;

HANDLE StandardError() {
    return ::GetStdHandle(STD_ERROR_HANDLE);
}

// The stream's UTF-8 written to a console as UTF-16 (WriteConsoleW): a console shows Russian
// right whatever its code page and font set-up, which UTF-8 bytes through the code page do not
// promise. A character split between two writes waits for its rest.
class ConsoleBuffer : public std::streambuf {
public:
    explicit ConsoleBuffer(HANDLE console) : console_(console) {}
    ~ConsoleBuffer() override { Flush(true); }
    ConsoleBuffer(const ConsoleBuffer&) = delete;
    ConsoleBuffer& operator=(const ConsoleBuffer&) = delete;

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        pending_ += traits_type::to_char_type(c);
        if (c == '\n' && !Flush(false)) return traits_type::eof();
        return c;
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        pending_.append(text, static_cast<size_t>(count));
        return Flush(false) ? count : 0;
    }
    int sync() override { return Flush(false) ? 0 : -1; }

private:
    // Writes what forms whole characters (everything when `all`); false when the console
    // refused.
    bool Flush(bool all) {
        const size_t whole = all ? pending_.size() : WholeUtf8Length(pending_);
        if (whole == 0) return true;
        const std::wstring wide = WideFromUtf8(std::string_view(pending_).substr(0, whole));
        pending_.erase(0, whole);
        for (size_t done = 0; done < wide.size();) {
            DWORD written = 0;
            const auto chunk = static_cast<DWORD>(std::min<size_t>(wide.size() - done, 8192));
            if (!::WriteConsoleW(console_, wide.data() + done, chunk, &written, nullptr) ||
                written == 0)
                return false;
            done += written;
        }
        return true;
    }

    HANDLE console_;
    std::string pending_;
};

// The handle when it is a console; null when it is redirected (a file or a pipe takes the UTF-8
// bytes as they are).
HANDLE ConsoleOf(DWORD which) {
    const HANDLE handle = ::GetStdHandle(which);
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && handle != nullptr && ::GetConsoleMode(handle, &mode)
               ? handle
               : nullptr;
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
    const ScopedArgumentVector wide(::CommandLineToArgvW(::GetCommandLineW(), &count));
    if (!wide.Valid()) return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(Utf8FromWide(wide.Get()[i]));
    return arguments;
}

struct ConsoleSetup::Saved {
    UINT codePage = 0;  // 0: no console
    DWORD mode = 0;
    bool modeSet = false;
    // The streams' own buffers, given back before the console buffers go.
    std::unique_ptr<ConsoleBuffer> out;
    std::unique_ptr<ConsoleBuffer> err;
    std::streambuf* outBefore = nullptr;
    std::streambuf* errBefore = nullptr;
};

ConsoleSetup::ConsoleSetup() : saved_(std::make_unique<Saved>()) {
    if (const HANDLE console = ConsoleOf(STD_OUTPUT_HANDLE)) {
        std::cout.flush();
        saved_->out = std::make_unique<ConsoleBuffer>(console);
        saved_->outBefore = std::cout.rdbuf(saved_->out.get());
    }
    if (const HANDLE console = ConsoleOf(STD_ERROR_HANDLE)) {
        std::cerr.flush();
        saved_->err = std::make_unique<ConsoleBuffer>(console);
        saved_->errBefore = std::cerr.rdbuf(saved_->err.get());
    }
    // The texts are UTF-8: anything that reaches the console past the streams' UTF-16 reads
    // right too.
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
    if (saved_->out) {
        std::cout.flush();
        std::cout.rdbuf(saved_->outBefore);
    }
    if (saved_->err) {
        std::cerr.flush();
        std::cerr.rdbuf(saved_->errBefore);
    }
    // The console outlives the program: the shell that started it gets it back as it was.
    if (saved_->modeSet) ::SetConsoleMode(StandardError(), saved_->mode);
    if (saved_->codePage != 0) ::SetConsoleOutputCP(saved_->codePage);
}
