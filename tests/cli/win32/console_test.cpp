// SPDX-License-Identifier: MIT
// tevr-flash's streams on a Windows console: Russian arrives as written (UTF-16 through
// WriteConsoleW), a letter split between two writes included, whatever the console's code page.
#include <windows.h>

#include <gtest/gtest.h>

#include <iostream>
#include <string>

#include "cli/Terminal.h"

namespace {

TEST(ConsoleTest, RussianReachesTheConsoleAsWritten) {
    const bool own = ::AllocConsole() != 0;
    const HANDLE screen =
        ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(screen, INVALID_HANDLE_VALUE);
    const HANDLE before = ::GetStdHandle(STD_ERROR_HANDLE);
    ::SetStdHandle(STD_ERROR_HANDLE, screen);
    // A code page that cannot spell Russian.
    ::SetConsoleOutputCP(1252);
    CONSOLE_SCREEN_BUFFER_INFO info{};
    ASSERT_TRUE(::GetConsoleScreenBufferInfo(screen, &info));
    {
        const ConsoleSetup console;
        // "о" is D0 BE in UTF-8: its two bytes come in two writes.
        std::cerr << "линия гот"
                  << "\xD0";
        std::cerr << "\xBE"
                  << "ва" << std::endl;
    }
    const std::wstring expected = L"линия готова";
    std::wstring shown(expected.size(), L'\0');
    DWORD read = 0;
    ASSERT_TRUE(::ReadConsoleOutputCharacterW(
        screen, shown.data(), static_cast<DWORD>(shown.size()), info.dwCursorPosition, &read));
    EXPECT_EQ(shown, expected);
    ::SetStdHandle(STD_ERROR_HANDLE, before);
    ::CloseHandle(screen);
    if (own) ::FreeConsole();
}

}  // namespace
