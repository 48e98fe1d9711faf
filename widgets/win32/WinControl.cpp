// SPDX-License-Identifier: MIT
#include "widgets/win32/WinControl.h"

#include <cassert>
#include <map>

#include "base/ScopeGuard.h"

namespace {
constexpr const wchar_t* kClassName = L"TevrWidget";

void RegisterHostClass(WNDPROC procedure) {
    static const bool registered = [procedure] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = procedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.lpszClassName = kClassName;
        return RegisterClassExW(&wc) != 0;
    }();
    assert(registered);
    (void)registered;
}

// A window's device context for as long as the object lives.
class TWindowDC {
public:
    explicit TWindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~TWindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;
    HDC Handle() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};
}  // namespace

TOwner* WinOwnerOf(HWND parent) {
    // One owner per form, for the program's life: forms are few and live as long as it does.
    static std::map<HWND, TOwner> owners;
    return parent ? &owners[parent] : nullptr;
}

TShiftState ShiftFromKeys(WPARAM keys) {
    TShiftState s;
    if (keys & MK_SHIFT) s = s | TShiftState{ssShift};
    if (GetKeyState(VK_MENU) < 0) s = s | TShiftState{ssAlt};
    if (keys & MK_CONTROL) s = s | TShiftState{ssCtrl};
    return s;
}

TWinHost::~TWinHost() {
    if (window_) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);  // no message reaches a half-destroyed host
        DestroyWindow(window_);
    }
}

void TWinHost::CreateHostWindow(HWND parent, int left, int top, int width, int height,
                                bool tabStop) {
    assert(!window_);
    RegisterHostClass(&WindowProc);
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | (tabStop ? WS_TABSTOP : 0);
    window_ = CreateWindowExW(0, kClassName, L"", style, left, top, width, height, parent, nullptr,
                              GetModuleHandleW(nullptr), this);
    assert(window_);
}

bool TWinHost::AnyMouseCaptured() {
    return GetCapture() != nullptr || GetKeyState(VK_LBUTTON) < 0 || GetKeyState(VK_RBUTTON) < 0 ||
           GetKeyState(VK_MBUTTON) < 0;
}

void TWinHost::InvalidateHost() {
    stale_ = true;
    if (window_) InvalidateRect(window_, nullptr, FALSE);
}

void TWinHost::RepaintHost() {
    stale_ = true;
    if (!window_ || painting_) return;
    InvalidateRect(window_, nullptr, FALSE);
    UpdateWindow(window_);
}

void TWinHost::DrawNowHost(const TRect& area, const std::function<void(TCanvas&)>& draw) {
    if (!window_ || !surface_ || painting_ || stale_) return;
    draw(surface_->Canvas());
    GdiFlush();
    if (area.IsEmpty() || !IsWindowVisible(window_)) return;
    const TWindowDC dc(window_);
    Show(dc.Handle(), RECT{area.Left, area.Top, area.Right, area.Bottom});
}

void TWinHost::Refresh() {
    RECT client{};
    GetClientRect(window_, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (!stale_ && surface_ && surface_->Width() == width && surface_->Height() == height) return;
    surface_.reset();
    stale_ = false;
    if (width <= 0 || height <= 0) return;
    surface_ = std::make_unique<TGdiBitmap>(width, height);
    // The form's face shows where the control leaves its area undrawn.
    FillRect(surface_->Handle(), &client, GetSysColorBrush(COLOR_BTNFACE));
    painting_ = true;
    const ScopeGuard painted([this] { painting_ = false; });
    ++fullPaints_;
    PaintControl(surface_->Canvas());
    GdiFlush();
}

void TWinHost::Show(HDC dc, const RECT& area) const {
    BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top,
           surface_->Handle(), area.left, area.top, SRCCOPY);
}

void TWinHost::Paint() {
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(window_, &ps);
    Refresh();
    if (surface_) Show(dc, ps.rcPaint);
    EndPaint(window_, &ps);
}

LRESULT CALLBACK TWinHost::WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(l);
        auto* host = static_cast<TWinHost*>(create->lpCreateParams);
        host->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(host));
    }
    auto* host = reinterpret_cast<TWinHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!host) return DefWindowProcW(window, message, w, l);
    switch (message) {
        case WM_PAINT:
            host->Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint covers every pixel
        case WM_SIZE:
        case WM_SYSCOLORCHANGE:
        case WM_SHOWWINDOW:
            host->InvalidateHost();
            break;
        default:
            break;
    }
    LRESULT result = 0;
    if (host->HandleMessage(message, w, l, result)) return result;
    return DefWindowProcW(window, message, w, l);
}
