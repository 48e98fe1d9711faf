// SPDX-License-Identifier: MIT
#pragma once
// The Win32 host of a windowless control: a child window of the form that is the control as
// well. Its surface is a DIB section kept by the rules every host shares (THostedControl), copied
// to the screen; it hands its messages to the control's input rules (TTwoStateInput): the mouse,
// captured from press to release, Space, focus, the capture taken away, and the enabled state.
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

#include "widgets/AbColBitBtn.h"
#include "widgets/AbLED.h"
#include "widgets/Gauge.h"
#include "widgets/HostedControl.h"
#include "widgets/win32/GdiCanvas.h"
#include "widgets/win32/WinHandles.h"

// The window side, apart from the control it hosts: the child window, and its surface, a DIB
// section kept by the rules every host shares (TSurfaceHost).
class TWinHost : public TPointerCapture, public TSurfaceHost {
public:
    HWND Handle() const { return window_.Get(); }

protected:
    TWinHost() = default;
    ~TWinHost() override;
    // Makes the child window; `tabStop` for a control the user reaches with Tab.
    void CreateHostWindow(HWND parent, int left, int top, int width, int height, bool tabStop);

    // What the control does with the window's messages; unhandled ones go to DefWindowProc.
    virtual bool HandleMessage(UINT message, WPARAM w, LPARAM l, LRESULT& result) = 0;

    bool FocusedHost() const { return window_.Valid() && GetFocus() == window_.Get(); }
    static bool AnyMouseCaptured();

    // --- TPointerCapture ---------------------------------------------------------------------
    void Take() override { SetCapture(Handle()); }
    void Give() override { ReleaseCapture(); }

    // --- The surface's desktop -----------------------------------------------------------------
    TSize SurfaceSize() const override;
    TSize ScreenSize() const override;
    void DropSurface() override { surface_.reset(); }
    void NewSurface(TSize size) override;
    void DrawOnSurface(const std::function<void(TCanvas&)>& draw) override;
    void PaintLater() override;
    void PaintAtOnce() override;
    void ShowNow(const TRect& area) override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l);
    void Paint();
    void Show(HDC dc, const RECT& area) const;

    TWindow window_;
    std::unique_ptr<TGdiBitmap> surface_;
};

TOwner* WinOwnerOf(HWND parent);
TShiftState ShiftFromKeys(WPARAM keys);

template <typename TCore>
class TWinControl : public THostedControl<TCore, TWinHost> {
    using THosted = THostedControl<TCore, TWinHost>;

public:
    using TWinHost::Handle;

    TWinControl(HWND parent, int left, int top, int width, int height, bool tabStop = false)
        : THosted(WinOwnerOf(parent)) {
        TCore::SetSize(width, height);
        this->CreateHostWindow(parent, left, top, width, height, tabStop);
    }

protected:
    using THosted::input_;
    using THosted::kTwoState;

    // --- The control's desktop -----------------------------------------------------------
    bool Focused() const override { return this->FocusedHost(); }
    bool MouseCaptured() const override { return TWinHost::AnyMouseCaptured(); }
    TColor OwnerColor() const override { return clBtnFace; }

    bool HandleMessage(UINT message, WPARAM w, LPARAM l, LRESULT& result) override {
        if (message == WM_ENABLE) {
            this->HostEnabled(w != 0);
            return false;
        }
        if constexpr (kTwoState) return HandleTwoState(message, w, l, result);
        return false;
    }

private:
    bool HandleTwoState(UINT message, WPARAM w, LPARAM l, LRESULT& result) {
        const int x = static_cast<short>(LOWORD(l));
        const int y = static_cast<short>(HIWORD(l));
        const TShiftState shift = ShiftFromKeys(w);
        bool taken = false;
        switch (message) {
            case WM_LBUTTONDOWN:
            case WM_RBUTTONDOWN:
            case WM_MBUTTONDOWN:
                taken = input_.Press(TPressKind::Single, ButtonOf(message), shift, x, y);
                break;
            case WM_LBUTTONDBLCLK:
            case WM_RBUTTONDBLCLK:
            case WM_MBUTTONDBLCLK:
                taken = input_.Press(TPressKind::Double, ButtonOf(message), shift, x, y);
                break;
            case WM_LBUTTONUP:
            case WM_RBUTTONUP:
            case WM_MBUTTONUP:
                taken = input_.Release(ButtonOf(message), shift, x, y,
                                       (w & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) != 0);
                break;
            case WM_MOUSEMOVE:
                if (!inside_) {
                    inside_ = true;
                    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
                    TrackMouseEvent(&track);
                    input_.Enter();
                }
                input_.Move(shift, x, y);
                taken = true;
                break;
            case WM_MOUSELEAVE:
                inside_ = false;
                input_.Leave();
                taken = true;
                break;
            case WM_CAPTURECHANGED:
                if (reinterpret_cast<HWND>(l) != Handle()) input_.CaptureLost();
                return false;
            case WM_GETDLGCODE:
                // Space comes to the control; Tab and the arrows stay with the dialog manager.
                result = DLGC_WANTCHARS;
                return true;
            case WM_KEYDOWN:
                taken = w == VK_SPACE && input_.SpaceDown((l & (1L << 30)) != 0, KeyShift());
                break;
            case WM_KEYUP:
                taken = w == VK_SPACE && input_.SpaceUp(false, KeyShift());
                break;
            case WM_CHAR:
                taken = w == L' ';
                break;
            case WM_SETFOCUS:
                input_.FocusIn();
                return false;
            case WM_KILLFOCUS:
                input_.FocusOut();
                return false;
            default:
                return false;
        }
        if (taken) result = 0;
        return taken;
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
