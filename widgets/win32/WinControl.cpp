// SPDX-License-Identifier: MIT
#include "widgets/win32/WinControl.h"

#include <cassert>
#include <map>

#include "widgets/win32/WindowClass.h"

namespace {
constexpr const wchar_t* kClassName = L"TevrWidget";
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
    if (window_.Valid()) {
        // No message reaches a half-destroyed host.
        SetWindowLongPtrW(window_.Get(), GWLP_USERDATA, 0);
        window_.Reset();
    }
}

void TWinHost::CreateHostWindow(HWND parent, int left, int top, int width, int height,
                                bool tabStop) {
    assert(!window_.Valid());
    WNDCLASSEXW wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &WindowProc;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = kClassName;
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | (tabStop ? WS_TABSTOP : 0);
    window_.Reset(CreateWindowExW(0, RegisterWindowClass(wc), L"", style, left, top, width, height,
                                  parent, nullptr, GetModuleHandleW(nullptr), this));
    assert(window_.Valid());
}

bool TWinHost::AnyMouseCaptured() {
    return GetCapture() != nullptr || GetKeyState(VK_LBUTTON) < 0 || GetKeyState(VK_RBUTTON) < 0 ||
           GetKeyState(VK_MBUTTON) < 0;
}

TSize TWinHost::SurfaceSize() const {
    return surface_ ? TSize{surface_->Width(), surface_->Height()} : TSize{};
}

TSize TWinHost::ScreenSize() const {
    RECT client{};
    GetClientRect(Handle(), &client);
    return {client.right - client.left, client.bottom - client.top};
}

void TWinHost::NewSurface(TSize size) {
    surface_ = std::make_unique<TGdiBitmap>(size.cx, size.cy);
    // The form's face shows where the control leaves its area undrawn.
    const RECT all{0, 0, size.cx, size.cy};
    FillRect(surface_->Handle(), &all, GetSysColorBrush(COLOR_BTNFACE));
}

void TWinHost::DrawOnSurface(const std::function<void(TCanvas&)>& draw) {
    draw(surface_->Canvas());
    GdiFlush();
}

void TWinHost::PaintLater() {
    if (window_.Valid()) InvalidateRect(Handle(), nullptr, FALSE);
}

void TWinHost::PaintAtOnce() {
    if (!window_.Valid()) return;
    InvalidateRect(Handle(), nullptr, FALSE);
    UpdateWindow(Handle());
}

void TWinHost::ShowNow(const TRect& area) {
    if (!IsWindowVisible(Handle())) return;
    const TWindowDc dc = WindowDcOf(Handle());
    Show(dc.Get().Dc, RECT{area.Left, area.Top, area.Right, area.Bottom});
}

void TWinHost::Show(HDC dc, const RECT& area) const {
    BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top,
           surface_->Handle(), area.left, area.top, SRCCOPY);
}

void TWinHost::Paint() {
    const TWindowPaint paint = BeginWindowPaint(Handle());
    RefreshSurface();
    if (surface_ && paint.Valid()) Show(paint.Get().Paint.hdc, paint.Get().Paint.rcPaint);
}

LRESULT CALLBACK TWinHost::WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(l);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* host = reinterpret_cast<TWinHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    // Until CreateWindowEx returns, the host has no window to paint or to capture for.
    if (!host || !host->window_.Valid()) return DefWindowProcW(window, message, w, l);
    switch (message) {
        case WM_PAINT:
            host->Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint covers every pixel
        case WM_SIZE:
        case WM_SYSCOLORCHANGE:
        case WM_SHOWWINDOW:
            host->InvalidateSurface();
            break;
        default:
            break;
    }
    LRESULT result = 0;
    if (host->HandleMessage(message, w, l, result)) return result;
    return DefWindowProcW(window, message, w, l);
}
