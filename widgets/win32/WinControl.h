// SPDX-License-Identifier: MIT
#pragma once
// The Win32 host of a windowless control: a child window of the form that is the control as
// well. It paints the control into an off-screen DIB section and copies that to the screen, lets
// the control draw its state straight into the DIB and shows the changed rectangle at once, and
// hands its messages to the control's input rules (TTwoStateInput): the mouse, captured from
// press to release, Space, focus, and the capture taken away; and the enable state.
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
#include "widgets/PaintCache.h"
#include "widgets/TwoStateInput.h"
#include "widgets/win32/GdiCanvas.h"
#include "widgets/win32/WinHandles.h"

// The window side, apart from the control it hosts.
class TWinHost : public TPointerCapture {
public:
    TWinHost(const TWinHost&) = delete;
    TWinHost& operator=(const TWinHost&) = delete;

    HWND Handle() const { return window_.Get(); }
    // How many times the whole surface was painted; the state redraws do not count.
    int FullPaintCount() const { return cache_.FullPaints(); }

protected:
    TWinHost() = default;
    ~TWinHost() override;
    // Makes the child window; `tabStop` for a control the user reaches with Tab.
    void CreateHostWindow(HWND parent, int left, int top, int width, int height, bool tabStop);

    // What the control does with the window's messages; unhandled ones go to DefWindowProc.
    virtual bool HandleMessage(UINT message, WPARAM w, LPARAM l, LRESULT& result) = 0;
    // The control's whole picture onto a canvas of its size.
    virtual void PaintControl(TCanvas& canvas) = 0;

    void InvalidateHost();
    void RepaintHost();
    void DrawNowHost(const TRect& area, const std::function<void(TCanvas&)>& draw);
    bool FocusedHost() const { return window_.Valid() && GetFocus() == window_.Get(); }
    static bool AnyMouseCaptured();

    // --- TPointerCapture ---------------------------------------------------------------------
    void Take() override { SetCapture(Handle()); }
    void Give() override { ReleaseCapture(); }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l);
    void Paint();
    // Paints the whole control into a surface of the window's size when it is stale.
    void Refresh();
    void Show(HDC dc, const RECT& area) const;
    TSize SurfaceSize() const;
    TSize ClientSize() const;

    TWindow window_;
    std::unique_ptr<TGdiBitmap> surface_;
    TPaintCache cache_;
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
            case WM_ENABLE:
                if constexpr (std::is_base_of_v<TAbColBitBtn, TCore>) TCore::SetEnabled(w != 0);
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
    TInputOf<TCore> input_{*this, *this};
};

using TWinAbLED = TWinControl<TAbLED>;
using TWinAbColBitBtn = TWinControl<TAbColBitBtn>;
using TWinGauge = TWinControl<TGauge>;
