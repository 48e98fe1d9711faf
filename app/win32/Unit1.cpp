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
#include "widgets/win32/WindowClass.h"

namespace {
constexpr const wchar_t* kFormClass = L"TForm1";
constexpr int kSpeedButton1Id = 101;
constexpr int kComboBox1Id = 102;
// The file dialog's answer: long paths included.
constexpr DWORD kPathCapacity = 32768;
// The open list shows this many entries before it scrolls.
constexpr int kComboBox1DropDownItems = 12;

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
    const TWindowDc dc = WindowDcOf(window);
    const TSelection selected = SelectInto(dc.Get().Dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc.Get().Dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    return size.cx;
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

int Box(HWND owner, const std::string& text, UINT icon) {
    return MessageBoxW(owner, WideFromUtf8(text).c_str(), WideFromUtf8(ApplicationTitleText()).c_str(),
                       MB_OK | icon | MB_SETFOREGROUND);
}
}  // namespace

void ShowApplicationError(HWND owner, const std::string& message) {
    Box(owner, message, MB_ICONERROR);
}

TForm1::TForm1(std::shared_ptr<TWinDispatcher> dispatcher)
    : dispatcher_(std::move(dispatcher)), VaComm1(dispatcher_) {
    UseWindowLanguage();
    WNDCLASSEXW wc{};
    wc.lpfnWndProc = &WindowProc;
    wc.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
    wc.hIconSm = wc.hIcon;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);  // the button face
    wc.lpszClassName = kFormClass;
    // The window's own font: the description's, with the Russian character set, so that the
    // Cyrillic captions find their glyphs whatever the system's code page.
    font_.Reset(CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, RUSSIAN_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif"));
    // Single border, minimise and system menu only: the window keeps its size.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_CONTROLPARENT;
    RECT frame{0, 0, kForm1ClientWidth, kForm1ClientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    window_.Reset(CreateWindowExW(exStyle, RegisterWindowClass(wc),
                                  WideFromUtf8(Form1Caption()).c_str(), style, kForm1Left, kForm1Top,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), this));
    assert(window_.Valid());
    CreateControls();
    logic_ = std::make_unique<TForm1Logic>(static_cast<TForm1Desktop&>(*this), VaComm1);
    logic_->FormCreate();
}

TForm1::~TForm1() {
    timer1_.Reset();
    // The port first: its threads end, and what they handed over finds them stopped.
    VaComm1.Close();
    dispatcher_->Shutdown();
    logic_.reset();
    ProgressBar1.reset();
    AbColBitBtn1.reset();
    AbLED1.reset();
    // The window before its font, which its controls use until they go.
    window_.Reset();
    font_.Reset();
}

void TForm1::CreateControls() {
    // The label sizes itself to its caption, as the one it stands for did: where the font is
    // replaced (Cyrillic in Tahoma), the caption is wider than the description's 102 pixels.
    TBounds label = kLabel1Bounds;
    label.Width = std::max(label.Width, TextWidth(Window(), Font(), Label1Caption()));
    Label1 =
        MakeChild(Window(), L"STATIC", Label1Caption(), SS_LEFT | SS_NOPREFIX, 0, label, 0, Font());
    Edit1 = MakeChild(Window(), L"EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
                      kEdit1Bounds, 0, Font());
    // The flat "..." button, reached with Tab; Space and Enter press it as any button.
    SpeedButton1 =
        MakeChild(Window(), L"BUTTON", kSpeedButton1Caption, WS_TABSTOP | BS_PUSHBUTTON | BS_FLAT,
                  0, kSpeedButton1Bounds, kSpeedButton1Id, Font());
    SpeedButton1Hint = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                       WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Window(),
                                       nullptr, GetModuleHandleW(nullptr), nullptr);
    std::wstring hint = WideFromUtf8(::SpeedButton1Hint());
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;  // understood by every version of the common controls
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = Window();
    tool.uId = reinterpret_cast<UINT_PTR>(SpeedButton1);
    tool.lpszText = hint.data();
    SendMessageW(SpeedButton1Hint, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));

    AbLED1 = std::make_unique<TWinAbLED>(Window(), kAbLED1Bounds.Left, kAbLED1Bounds.Top,
                                         kAbLED1Bounds.Width, kAbLED1Bounds.Height);
    ConfigureAbLED1(*AbLED1);

    // List only; the height given is the open list's, the closed box takes the item height.
    TBounds combo = kComboBox1Bounds;
    combo.Height = kComboBox1Bounds.Height + kComboBox1ItemHeight * kComboBox1DropDownItems;
    ComboBox1 = MakeChild(Window(), L"COMBOBOX", "",
                          WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_HASSTRINGS, 0, combo,
                          kComboBox1Id, Font());
    SendMessageW(ComboBox1, CB_SETITEMHEIGHT, 0, kComboBox1ItemHeight);
    SendMessageW(ComboBox1, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                 kComboBox1Bounds.Height - 6);  // the closed box, its 3-pixel edges aside
    RefreshPorts();

    // Reached with Tab; Space then toggles it as a click does.
    AbColBitBtn1 = std::make_unique<TWinAbColBitBtn>(
        Window(), kAbColBitBtn1Bounds.Left, kAbColBitBtn1Bounds.Top, kAbColBitBtn1Bounds.Width,
        kAbColBitBtn1Bounds.Height, true);
    ConfigureAbColBitBtn1(*AbColBitBtn1);

    ProgressBar1 =
        std::make_unique<TWinGauge>(Window(), kProgressBar1Bounds.Left, kProgressBar1Bounds.Top,
                                    kProgressBar1Bounds.Width, kProgressBar1Bounds.Height);
    ProgressBar1->SetProgress(0);
    // Tab order: the file field, "...", the port list, the start button (the order made).
}

void TForm1::RefreshPorts() {
    const TPortListShown shown =
        RefreshedPortList(ListPorts(), portPaths_.empty() ? std::string() : ComboBox1Text());
    SendMessageW(ComboBox1, CB_RESETCONTENT, 0, 0);
    portPaths_.clear();
    for (const TVaPortInfo& entry : shown.Entries) {
        // The port's own name alone becomes the device name.
        SendMessageW(ComboBox1, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(WideFromUtf8(PortEntryText(entry)).c_str()));
        portPaths_.push_back(entry.Path);
    }
    SendMessageW(ComboBox1, CB_SETCURSEL, shown.Chosen, 0);
}

void TForm1::Show(int how) {
    RECT desk{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &desk, 0);
    RECT r{};
    GetWindowRect(Window(), &r);
    if (const auto place =
            firstShow_.Place({desk.left, desk.top, desk.right - desk.left, desk.bottom - desk.top},
                             r.right - r.left, r.bottom - r.top))
        SetWindowPos(Window(), nullptr, place->Left, place->Top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(Window(), how);
    // The first control of the tab order takes the keys, as in any form.
    SetFocus(Edit1);
    UpdateWindow(Window());
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
    tool.hwnd = window_.Get();
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
    const std::wstring title = WideFromUtf8(OpenDialog1Title());
    std::wstring filter = WideFromUtf8(OpenDialog1FilterName());
    filter += L'\0';
    filter += WideFromUtf8(kOpenDialog1FilterPattern);
    filter += L'\0';  // the list ends with an empty entry: the string's own terminator
    std::wstring name(kPathCapacity, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = Window();
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
    Box(Window(), text, 0);
}

void TForm1::ShowErrorBox(const std::string& text) {
    Box(Window(), text, MB_ICONERROR);
}

void TForm1::PostToForm(std::function<void()> work) {
    dispatcher_->Queue().Post(std::move(work));
}

void TForm1::StartTimer1(std::chrono::milliseconds delay) {
    // The multimedia timer's least delay is one millisecond; TIME_KILL_SYNCHRONOUS: once killed,
    // no tick of it runs any more. A one-shot event that has run is gone already, and killing it
    // again does nothing: the only other event, the flash timer's, is older and keeps its number.
    const auto ms = std::clamp<std::chrono::milliseconds::rep>(delay.count(), 1, 1000000);
    timer1_.Reset();
    timer1_.Reset(timeSetEvent(static_cast<UINT>(ms), 1, &Timer1Tick,
                               reinterpret_cast<DWORD_PTR>(this),
                               TIME_ONESHOT | TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS));
}

void CALLBACK TForm1::Timer1Tick(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    // On the timer's own thread: only the hand-over, which the window outlives (its timer is
    // killed first).
    auto* form = reinterpret_cast<TForm1*>(user);
    form->dispatcher_->Queue().Post([form] { form->logic_->Timer1Timer(); });
}

LRESULT TForm1::Message(HWND window, UINT message, WPARAM w, LPARAM l) {
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
            window_.Reset();
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            // Gone, whoever destroyed it: never destroyed again.
            window_.Release();
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, w, l);
}

LRESULT CALLBACK TForm1::WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrW(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<const CREATESTRUCTW*>(l)->lpCreateParams));
    }
    auto* form = reinterpret_cast<TForm1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    // The logic exists once the controls do; messages before that need nothing of it.
    if (!form || !form->logic_) return DefWindowProcW(window, message, w, l);
    return form->Message(window, message, w, l);
}
