// SPDX-License-Identifier: MIT
// TForm1 on Win32: the window's settings and every control with its bounds and settings, as the
// description has them; the boxes, the dialog and the hand-over to the window's thread.
#include "app/win32/Unit1.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cassert>

#include "app/Form1Description.h"
#include "app/PortList.h"
#include "base/WideText.h"
#include "serial/VaPortList.h"

namespace {
constexpr const wchar_t* kFormClass = L"TForm1";
constexpr int kSpeedButton1Id = 101;
constexpr int kComboBox1Id = 102;
// The file dialog's answer: long paths included.
constexpr DWORD kPathCapacity = 32768;
// The open list shows this many entries before it scrolls.
constexpr int kComboBox1DropDownItems = 12;

void RegisterFormClass(WNDPROC procedure) {
    static const bool registered = [procedure] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = procedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));
        wc.hIconSm = wc.hIcon;
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);  // the button face
        wc.lpszClassName = kFormClass;
        return RegisterClassExW(&wc) != 0;
    }();
    assert(registered);
    (void)registered;
}

HWND MakeChild(HWND parent, const wchar_t* cls, const std::string& text, DWORD style, DWORD exStyle,
               const TBounds& b, int id, HFONT font) {
    HWND child = CreateWindowExW(exStyle, cls, WideFromUtf8(text).c_str(),
                                 WS_CHILD | WS_VISIBLE | style, b.Left, b.Top, b.Width, b.Height,
                                 parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleW(nullptr), nullptr);
    assert(child);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

int TextWidth(HWND window, HFONT font, const std::string& text) {
    const std::wstring wide = WideFromUtf8(text);
    HDC dc = GetDC(window);
    const HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return size.cx;
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

int Box(HWND owner, const std::string& text, UINT icon) {
    return MessageBoxW(owner, WideFromUtf8(text).c_str(), WideFromUtf8(kApplicationTitle).c_str(),
                       MB_OK | icon | MB_SETFOREGROUND);
}
}  // namespace

void ShowApplicationError(HWND owner, const std::string& message) {
    Box(owner, ErrorBoxText(message), MB_ICONERROR);
}

TForm1::TForm1(std::shared_ptr<TWinDispatcher> dispatcher)
    : dispatcher_(std::move(dispatcher)), VaComm1(dispatcher_) {
    RegisterFormClass(&WindowProc);
    // The window's own font: the description's, with the Russian character set, so that the
    // Cyrillic captions find their glyphs whatever the system's code page.
    font_ = CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, RUSSIAN_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif");
    // Single border, minimise and system menu only: the window keeps its size.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_CONTROLPARENT;
    RECT frame{0, 0, kForm1ClientWidth, kForm1ClientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    window_ =
        CreateWindowExW(exStyle, kFormClass, WideFromUtf8(kForm1Caption).c_str(), style, kForm1Left,
                        kForm1Top, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                        nullptr, GetModuleHandleW(nullptr), this);
    assert(window_);
    CreateControls();
    logic_ = std::make_unique<TForm1Logic>(static_cast<TForm1Desktop&>(*this), VaComm1);
    logic_->FormCreate();
}

TForm1::~TForm1() {
    // The port first: its threads end, and what they handed over finds them stopped.
    VaComm1.Close();
    dispatcher_->Shutdown();
    logic_.reset();
    ProgressBar1.reset();
    AbColBitBtn1.reset();
    AbLED1.reset();
    if (window_) DestroyWindow(window_);
    if (font_) DeleteObject(font_);
}

void TForm1::CreateControls() {
    // The label sizes itself to its caption, as the one it stands for did: where the font is
    // replaced (Cyrillic in Tahoma), the caption is wider than the description's 102 pixels.
    TBounds label = kLabel1Bounds;
    label.Width = std::max(label.Width, TextWidth(window_, font_, kLabel1Caption));
    Label1 =
        MakeChild(window_, L"STATIC", kLabel1Caption, SS_LEFT | SS_NOPREFIX, 0, label, 0, font_);
    Edit1 = MakeChild(window_, L"EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
                      kEdit1Bounds, 0, font_);
    // The flat "..." button, reached with Tab; Space and Enter press it as any button.
    SpeedButton1 =
        MakeChild(window_, L"BUTTON", kSpeedButton1Caption, WS_TABSTOP | BS_PUSHBUTTON | BS_FLAT, 0,
                  kSpeedButton1Bounds, kSpeedButton1Id, font_);
    SpeedButton1Hint = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                       WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                                       nullptr, GetModuleHandleW(nullptr), nullptr);
    std::wstring hint = WideFromUtf8(kSpeedButton1Hint);
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;  // understood by every version of the common controls
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(SpeedButton1);
    tool.lpszText = hint.data();
    SendMessageW(SpeedButton1Hint, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));

    AbLED1 = std::make_unique<TWinAbLED>(window_, kAbLED1Bounds.Left, kAbLED1Bounds.Top,
                                         kAbLED1Bounds.Width, kAbLED1Bounds.Height);
    ConfigureAbLED1(*AbLED1);

    // List only; the height given is the open list's, the closed box takes the item height.
    TBounds combo = kComboBox1Bounds;
    combo.Height = kComboBox1Bounds.Height + kComboBox1ItemHeight * kComboBox1DropDownItems;
    ComboBox1 = MakeChild(window_, L"COMBOBOX", "",
                          WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_HASSTRINGS, 0, combo,
                          kComboBox1Id, font_);
    SendMessageW(ComboBox1, CB_SETITEMHEIGHT, 0, kComboBox1ItemHeight);
    SendMessageW(ComboBox1, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                 kComboBox1Bounds.Height - 6);  // the closed box, its 3-pixel edges aside
    RefreshPorts();

    // Reached with Tab; Space then toggles it as a click does.
    AbColBitBtn1 = std::make_unique<TWinAbColBitBtn>(
        window_, kAbColBitBtn1Bounds.Left, kAbColBitBtn1Bounds.Top, kAbColBitBtn1Bounds.Width,
        kAbColBitBtn1Bounds.Height, true);
    ConfigureAbColBitBtn1(*AbColBitBtn1);

    ProgressBar1 =
        std::make_unique<TWinGauge>(window_, kProgressBar1Bounds.Left, kProgressBar1Bounds.Top,
                                    kProgressBar1Bounds.Width, kProgressBar1Bounds.Height);
    ProgressBar1->SetProgress(0);
    // Tab order: the file field, "...", the port list, the start button (the order made).
}

void TForm1::RefreshPorts() {
    const std::string chosen = portPaths_.empty() ? std::string() : ComboBox1Text();
    SendMessageW(ComboBox1, CB_RESETCONTENT, 0, 0);
    portPaths_.clear();
    for (const TVaPortInfo& entry : PortListEntries(ListPorts())) {
        // The friendly name beside the port's own, which alone becomes the device name.
        std::string text = entry.Path;
        if (!entry.Description.empty()) text += " - " + entry.Description;
        SendMessageW(ComboBox1, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(WideFromUtf8(text).c_str()));
        portPaths_.push_back(entry.Path);
    }
    auto at = std::find(portPaths_.begin(), portPaths_.end(), chosen);
    if (!chosen.empty() && at == portPaths_.end()) {
        // A port that went away stays chosen: the start says what became of it.
        SendMessageW(ComboBox1, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(WideFromUtf8(chosen).c_str()));
        portPaths_.push_back(chosen);
        at = portPaths_.end() - 1;
    }
    const auto index = chosen.empty() ? 0 : at - portPaths_.begin();
    SendMessageW(ComboBox1, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TForm1::Show(int how) {
    if (!centred_) {
        // Centred on the desktop when first shown; later shows keep where the user put it.
        centred_ = true;
        RECT desk{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &desk, 0);
        RECT r{};
        GetWindowRect(window_, &r);
        const int w = r.right - r.left;
        const int h = r.bottom - r.top;
        SetWindowPos(window_, nullptr, desk.left + (desk.right - desk.left - w) / 2,
                     desk.top + (desk.bottom - desk.top - h) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowWindow(window_, how);
    // The first control of the tab order takes the keys, as in any form.
    SetFocus(Edit1);
    UpdateWindow(window_);
}

int TForm1::Run(HWND form) {
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (form && IsWindow(form) && IsDialogMessageW(form, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

void TForm1::SetEdit1Hint(const std::string& text) {
    // The tool tip control of "..." carries Edit1's too, present only while there is a text.
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(Edit1);
    SendMessageW(SpeedButton1Hint, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    if (text.empty()) return;
    std::wstring hint = WideFromUtf8(text);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.lpszText = hint.data();
    SendMessageW(SpeedButton1Hint, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

std::string TForm1::Edit1Text() const {
    // UTF-8; the loader's file reader opens it by its UTF-16 name.
    return Utf8FromWide(WindowText(Edit1));
}

std::string TForm1::ComboBox1Text() const {
    const LRESULT index = SendMessageW(ComboBox1, CB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<size_t>(index) >= portPaths_.size()) return {};
    return portPaths_[static_cast<size_t>(index)];
}

void TForm1::SetSpeedButton1Enabled(bool enabled) {
    EnableWindow(SpeedButton1, enabled ? TRUE : FALSE);
}

bool TForm1::ExecuteOpenDialog1() {
    const std::wstring title = WideFromUtf8(kOpenDialog1Title);
    std::wstring filter = WideFromUtf8(kOpenDialog1FilterName);
    filter += L'\0';
    filter += WideFromUtf8(kOpenDialog1FilterPattern);
    filter += L'\0';  // the list ends with an empty entry: the string's own terminator
    std::wstring name(kPathCapacity, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = window_;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = kPathCapacity;
    ofn.lpstrTitle = title.c_str();
    // The default options: the chosen file need not exist.
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
    if (!GetOpenFileNameW(&ofn)) return false;
    name.resize(wcslen(name.c_str()));
    SetWindowTextW(Edit1, name.c_str());
    return true;
}

void TForm1::ShowMessageBox(const std::string& text) {
    Box(window_, text, 0);
}

void TForm1::ShowErrorBox(const std::string& text) {
    Box(window_, text, MB_ICONERROR);
}

void TForm1::PostToForm(std::function<void()> work) {
    dispatcher_->Queue().Post(std::move(work));
}

LRESULT TForm1::Message(UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(w) == kSpeedButton1Id && HIWORD(w) == BN_CLICKED) {
                logic_->SpeedButton1Click();
                return 0;
            }
            if (LOWORD(w) == kComboBox1Id && HIWORD(w) == CBN_DROPDOWN) {
                RefreshPorts();  // ports come and go while the window is open
                return 0;
            }
            break;
        case WM_CLOSE:
            DestroyWindow(window_);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            window_ = nullptr;
            break;
        default:
            break;
    }
    return DefWindowProcW(window_, message, w, l);
}

LRESULT CALLBACK TForm1::WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) {
        auto* form =
            static_cast<TForm1*>(reinterpret_cast<const CREATESTRUCTW*>(l)->lpCreateParams);
        form->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<TForm1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    // The logic exists once the controls do; messages before that need nothing of it.
    if (!form || !form->logic_) return DefWindowProcW(window, message, w, l);
    return form->Message(message, w, l);
}
