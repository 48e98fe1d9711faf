// SPDX-License-Identifier: MIT
#pragma once
// The desktop's handles on Win32, each owned through ScopedGeneric and freed by its own call:
// GDI objects, memory and window device contexts, windows, window classes and multimedia timers.
#include <windows.h>

#include <mmsystem.h>

#include "base/ScopedGeneric.h"

// A pen, brush, font, region or bitmap of our own; never a stock object.
struct TGdiObjectTraits {
    using Value = HGDIOBJ;
    static HGDIOBJ None() { return nullptr; }
    static bool IsValid(HGDIOBJ object) { return object != nullptr; }
    static void Free(HGDIOBJ object) { ::DeleteObject(object); }
};
using TGdiObject = ScopedGeneric<TGdiObjectTraits>;

// A memory device context of CreateCompatibleDC.
struct TMemoryDcTraits {
    using Value = HDC;
    static HDC None() { return nullptr; }
    static bool IsValid(HDC dc) { return dc != nullptr; }
    static void Free(HDC dc) { ::DeleteDC(dc); }
};
using TMemoryDc = ScopedGeneric<TMemoryDcTraits>;

// A window's device context of GetDC, given back to that window.
struct TWindowDcHandle {
    HWND Window = nullptr;
    HDC Dc = nullptr;
    friend bool operator==(const TWindowDcHandle&, const TWindowDcHandle&) = default;
};
struct TWindowDcTraits {
    using Value = TWindowDcHandle;
    static TWindowDcHandle None() { return {}; }
    static bool IsValid(const TWindowDcHandle& h) { return h.Dc != nullptr; }
    static void Free(const TWindowDcHandle& h) { ::ReleaseDC(h.Window, h.Dc); }
};
using TWindowDc = ScopedGeneric<TWindowDcTraits>;
// The device context of `window` (null: the screen's) for as long as the owner lives.
inline TWindowDc WindowDcOf(HWND window) {
    return TWindowDc({window, ::GetDC(window)});
}

// A window of our own; one the system destroyed meanwhile is given up (Release) at its
// WM_NCDESTROY, so that it is not destroyed twice.
struct TWindowTraits {
    using Value = HWND;
    static HWND None() { return nullptr; }
    static bool IsValid(HWND window) { return window != nullptr; }
    static void Free(HWND window) { ::DestroyWindow(window); }
};
using TWindow = ScopedGeneric<TWindowTraits>;

// A window class of this module, by its atom.
struct TWindowClassTraits {
    using Value = ATOM;
    static ATOM None() { return 0; }
    static bool IsValid(ATOM atom) { return atom != 0; }
    static void Free(ATOM atom) {
        ::UnregisterClassW(reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(atom)),
                           ::GetModuleHandleW(nullptr));
    }
};
using TWindowClass = ScopedGeneric<TWindowClassTraits>;

// A multimedia timer event of timeSetEvent.
struct TMmTimerTraits {
    using Value = UINT;
    static UINT None() { return 0; }
    static bool IsValid(UINT id) { return id != 0; }
    static void Free(UINT id) { ::timeKillEvent(id); }
};
using TMmTimer = ScopedGeneric<TMmTimerTraits>;
