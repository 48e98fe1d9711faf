// SPDX-License-Identifier: MIT
// What the window test cannot see from X: run under Wine beside tevr-loader.exe, it finds the
// window and its boxes and reports on them on standard output (UTF-8).
//   window_probe form                 caption, client size, whether it can be resized or maximised,
//                                     the client area's top left on the screen
//   window_probe port                 ComboBox1's text
//   window_probe set-path TEXT        puts TEXT into Edit1 as pasting would
//   window_probe box SECONDS          waits for a message box: its text, icon or none
//   window_probe ok                   presses the message box's OK
//   window_probe lime                 how many pixels of the start button show clLime
//   window_probe face                 column 10 of the start button, top to bottom, as RRGGBB
//   window_probe close                closes the window as its close button does
// Exit status 1 when the window or the box is not there.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "widgets/win32/WinHandles.h"

#include "base/WideText.h"

namespace {
HWND Form() {
    return FindWindowW(L"TForm1", nullptr);
}

HWND Box() {
    // The one dialog the program shows at a time.
    HWND box = nullptr;
    EnumWindows(
        [](HWND w, LPARAM found) -> BOOL {
            wchar_t cls[32] = {};
            GetClassNameW(w, cls, 32);
            if (std::wstring(cls) != L"#32770" || !IsWindowVisible(w)) return TRUE;
            *reinterpret_cast<HWND*>(found) = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&box));
    return box;
}

std::string Text(HWND w) {
    wchar_t buffer[1024] = {};
    SendMessageTimeoutW(w, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                        2000, nullptr);
    return Utf8FromWide(buffer);
}

HWND Child(HWND parent, const wchar_t* cls) {
    return FindWindowExW(parent, nullptr, cls, nullptr);
}

void Print(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

constexpr int kButtonWidth = 345, kButtonHeight = 33;

// The start button as the screen shows it: 0x00RRGGBB pixels, rows from the top.
std::vector<DWORD> StartButtonPixels(HWND form) {
    POINT origin{0, 104};
    ClientToScreen(form, &origin);
    BITMAPINFO info{};
    info.bmiHeader = {
        sizeof(BITMAPINFOHEADER), kButtonWidth, -kButtonHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const TWindowDc screen = WindowDcOf(nullptr);
    const TMemoryDc memory(CreateCompatibleDC(screen.Get().Dc));
    const TGdiObject dib(CreateDIBSection(memory.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    // The DIB leaves the DC before either goes.
    const TSelection selected = SelectInto(memory.Get(), dib.Get());
    BitBlt(memory.Get(), 0, 0, kButtonWidth, kButtonHeight, screen.Get().Dc, origin.x, origin.y,
           SRCCOPY);
    GdiFlush();
    const auto* first = static_cast<const DWORD*>(bits);
    std::vector<DWORD> pixels(first, first + kButtonWidth * kButtonHeight);
    return pixels;
}

int Fail(const char* what) {
    std::fprintf(stderr, "window_probe: %s\n", what);
    return 1;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return Fail("no command");
    const std::wstring command = argv[1];
    if (command == L"box") {
        const int seconds = argc > 2 ? _wtoi(argv[2]) : 10;
        for (int i = 0; i < seconds * 10; ++i) {
            if (HWND box = Box()) {
                // The text is the static with the id 0xFFFF; the icon a static with an image:
                // 0x14 on Windows, 0x440 in Wine's box, which keeps it, empty, when there is none.
                const std::string text = Text(GetDlgItem(box, 0xFFFF));
                HWND image = GetDlgItem(box, 0x14);
                if (!image) image = GetDlgItem(box, 0x440);
                const bool icon = image != nullptr && SendMessageW(image, STM_GETICON, 0, 0) != 0;
                Print(Text(box));
                Print(text);
                Print(icon ? "icon" : "no icon");
                return 0;
            }
            Sleep(100);
        }
        return Fail("no message box");
    }
    if (command == L"ok") {
        HWND box = Box();
        if (!box) return Fail("no message box");
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
        for (int i = 0; i < 50 && IsWindow(box); ++i)
            Sleep(100);
        return IsWindow(box) ? Fail("the box stayed") : 0;
    }
    HWND form = Form();
    if (!form) return Fail("no window");
    if (command == L"form") {
        RECT client{};
        GetClientRect(form, &client);
        POINT origin{0, 0};
        ClientToScreen(form, &origin);
        const LONG style = GetWindowLongW(form, GWL_STYLE);
        Print(Text(form));
        Print(std::to_string(client.right) + "x" + std::to_string(client.bottom));
        Print((style & WS_THICKFRAME) ? "resizable" : "fixed");
        Print((style & WS_MAXIMIZEBOX) ? "maximise" : "no maximise");
        Print(std::to_string(origin.x) + " " + std::to_string(origin.y));
        return 0;
    }
    if (command == L"port") {
        Print(Text(Child(form, L"COMBOBOX")));
        return 0;
    }
    if (command == L"set-path" && argc > 2) {
        SendMessageW(Child(form, L"EDIT"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[2]));
        return 0;
    }
    if (command == L"close") {
        PostMessageW(form, WM_CLOSE, 0, 0);
        for (int i = 0; i < 50 && IsWindow(form); ++i)
            Sleep(100);
        return IsWindow(form) ? Fail("the window stayed") : 0;
    }
    if (command == L"lime") {
        long lime = 0;
        for (const DWORD pixel : StartButtonPixels(form))
            if ((pixel & 0xFFFFFF) == 0x00FF00) ++lime;
        Print(std::to_string(lime));
        return 0;
    }
    if (command == L"face") {
        // Column 10 of the start button, top to bottom: the bevel's rings and the face's rows.
        const std::vector<DWORD> pixels = StartButtonPixels(form);
        std::string column;
        for (int y = 0; y < kButtonHeight; ++y) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "%06lX ",
                          static_cast<unsigned long>(
                              pixels[static_cast<size_t>(y * kButtonWidth + 10)] & 0xFFFFFF));
            column += hex;
        }
        column.pop_back();
        Print(column);
        return 0;
    }
    return Fail("unknown command");
}
