// SPDX-License-Identifier: MIT
#pragma once
// The Win32 host of a windowless control: a child window of the form that is the control as
// well. It paints the control into an off-screen DIB section and copies that to the screen, lets
// the control draw its state straight into the DIB and shows the changed rectangle at once, and
// hands the control its mouse (captured from press to release), Space, focus and enable state.
//
//     TWinAbLED led(form, kAbLED1Bounds...);   // a TAbLED and a child window of form
//
// The controls of one form share one owner, so that groups find each other.
#include <windows.h>
// windows.h names DrawStateA or DrawStateW DrawState, and TextOutA or TextOutW TextOut; here
// both are the controls' own.
#undef DrawState
#undef TextOut

#include <functional>
#include <memory>
#include <type_traits>

#include "widgets/AbBinGControl.h"
#include "widgets/AbColBitBtn.h"
#include "widgets/AbLED.h"
#include "widgets/Gauge.h"
#include "widgets/win32/GdiCanvas.h"

// The window side, apart from the control it hosts.
class TWinHost {
public:
    TWinHost(const TWinHost&) = delete;
    TWinHost& operator=(const TWinHost&) = delete;

    HWND Handle() const { return window_; }
    // How many times the whole surface was painted; the state redraws do not count.
    int FullPaintCount() const { return fullPaints_; }

protected:
    TWinHost() = default;
    virtual ~TWinHost();
    // Makes the child window; `tabStop` for a control the user reaches with Tab.
    void CreateHostWindow(HWND parent, int left, int top, int width, int height, bool tabStop);

    // What the control does with the window's messages; unhandled ones go to DefWindowProc.
    virtual bool HandleMessage(UINT message, WPARAM w, LPARAM l, LRESULT& result) = 0;
    // The control's whole picture onto a canvas of its size.
    virtual void PaintControl(TCanvas& canvas) = 0;

    void InvalidateHost();
    void RepaintHost();
    void DrawNowHost(const TRect& area, const std::function<void(TCanvas&)>& draw);
    bool FocusedHost() const { return window_ && GetFocus() == window_; }
    static bool AnyMouseCaptured();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l);
    void Paint();
    // Paints the whole control into a surface of the window's size when it is stale.
    void Refresh();
    void Show(HDC dc, const RECT& area) const;

    HWND window_ = nullptr;
    std::unique_ptr<TGdiBitmap> surface_;
    bool stale_ = true;
    bool painting_ = false;
    int fullPaints_ = 0;
};

TOwner* WinOwnerOf(HWND parent);
TShiftState ShiftFromKeys(WPARAM keys);

template <typename TCore>
class TWinControl : public TCore, public TWinHost {
public:
    TWinControl(HWND parent, int left, int top, int width, int height, bool tabStop = false)
        : TCore(WinOwnerOf(parent)) {
        TCore::SetSize(width, height);
        CreateHostWindow(parent, left, top, width, height, tabStop);
    }

protected:
    static constexpr bool kTwoState = std::is_base_of_v<TAbBinGControl, TCore>;

    // --- The control's desktop -----------------------------------------------------------
    void Invalidate() override { InvalidateHost(); }
    void Repaint() override { RepaintHost(); }
    void DrawNow(const TRect& area, const std::function<void(TCanvas&)>& draw) override {
        DrawNowHost(area, draw);
    }
    bool Focused() const override { return FocusedHost(); }
    bool MouseCaptured() const override { return AnyMouseCaptured(); }
    TColor OwnerColor() const override { return clBtnFace; }

    void PaintControl(TCanvas& canvas) override { static_cast<TCore&>(*this).Paint(canvas); }

    bool HandleMessage(UINT message, WPARAM w, LPARAM l, LRESULT& result) override {
        if constexpr (kTwoState) return HandleTwoState(message, w, l, result);
        return false;
    }

private:
    bool HandleTwoState(UINT message, WPARAM w, LPARAM l, LRESULT& result) {
        const int x = static_cast<short>(LOWORD(l));
        const int y = static_cast<short>(HIWORD(l));
        const TShiftState shift = ShiftFromKeys(w);
        switch (message) {
            case WM_LBUTTONDOWN:
            case WM_RBUTTONDOWN:
            case WM_MBUTTONDOWN:
            case WM_LBUTTONDBLCLK:
            case WM_RBUTTONDBLCLK:
            case WM_MBUTTONDBLCLK: {
                if (!TCore::AcceptsMouse()) return false;
                // The pointer stays with the control until the release, wherever it goes.
                SetCapture(Handle());
                const TMouseButton button = ButtonOf(message);
                if (message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK ||
                    message == WM_MBUTTONDBLCLK)
                    TCore::DblClick(button, shift, x, y);
                else
                    TCore::MouseDown(button, shift, x, y);
                result = 0;
                return true;
            }
            case WM_LBUTTONUP:
            case WM_RBUTTONUP:
            case WM_MBUTTONUP: {
                if (!TCore::AcceptsMouse() && !TCore::HoldsPress()) return false;
                // The capture ends first; the click and the up action follow.
                if (GetCapture() == Handle() && (w & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0)
                    ReleaseCapture();
                TCore::MouseUp(ButtonOf(message), shift, x, y);
                result = 0;
                return true;
            }
            case WM_MOUSEMOVE:
                if (!inside_) {
                    inside_ = true;
                    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
                    TrackMouseEvent(&track);
                    TCore::MouseEnter();
                }
                if (TCore::AcceptsMouse()) TCore::MouseMove(shift, x, y);
                result = 0;
                return true;
            case WM_MOUSELEAVE:
                inside_ = false;
                TCore::MouseLeave();
                result = 0;
                return true;
            case WM_GETDLGCODE:
                // Space comes to the control; Tab and the arrows stay with the dialog manager.
                result = DLGC_WANTCHARS;
                return true;
            case WM_KEYDOWN:
                if (w == VK_SPACE) {
                    const bool repeat = (l & (1L << 30)) != 0;
                    if (!repeat && TCore::SpaceDown(KeyShift())) return Handled(result);
                    if (TCore::SpaceHeld()) return Handled(result);
                }
                return false;
            case WM_KEYUP:
                if (w == VK_SPACE && TCore::SpaceUp(KeyShift())) return Handled(result);
                return false;
            case WM_CHAR:
                return w == L' ' && Handled(result);
            case WM_SETFOCUS:
                TCore::FocusIn();
                return false;
            case WM_KILLFOCUS:
                TCore::FocusOut();
                return false;
            case WM_ENABLE:
                if constexpr (std::is_base_of_v<TAbColBitBtn, TCore>) TCore::SetEnabled(w != 0);
                return false;
            default:
                return false;
        }
    }

    static bool Handled(LRESULT& result) {
        result = 0;
        return true;
    }
    static TMouseButton ButtonOf(UINT message) {
        switch (message) {
            case WM_RBUTTONDOWN:
            case WM_RBUTTONUP:
            case WM_RBUTTONDBLCLK:
                return mbRight;
            case WM_MBUTTONDOWN:
            case WM_MBUTTONUP:
            case WM_MBUTTONDBLCLK:
                return mbMiddle;
            default:
                return mbLeft;
        }
    }
    static TShiftState KeyShift() {
        TShiftState s;
        if (GetKeyState(VK_SHIFT) < 0) s = s | TShiftState{ssShift};
        if (GetKeyState(VK_MENU) < 0) s = s | TShiftState{ssAlt};
        if (GetKeyState(VK_CONTROL) < 0) s = s | TShiftState{ssCtrl};
        return s;
    }

    bool inside_ = false;
};

using TWinAbLED = TWinControl<TAbLED>;
using TWinAbColBitBtn = TWinControl<TAbColBitBtn>;
using TWinGauge = TWinControl<TGauge>;
