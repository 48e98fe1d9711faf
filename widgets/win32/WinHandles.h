// SPDX-License-Identifier: MIT
#pragma once
// The desktop's handles on Win32, each owned through ScopedGeneric and freed by its own call:
// GDI objects, memory and window device contexts, windows, window classes and multimedia timers.
#include <windows.h>

#include <mmsystem.h>

#include "base/ScopedGeneric.h"

// A handle of which zero (or null) is none, freed by `FreeFunction`.
template <typename T, auto FreeFunction>
struct TZeroIsNoneTraits {
    using Value = T;
    static T None() { return T{}; }
    static bool IsValid(T value) { return value != T{}; }
    static void Free(T value) { FreeFunction(value); }
};

// A pen, brush, font, region or bitmap of our own; never a stock object.
using TGdiObject = ScopedGeneric<TZeroIsNoneTraits<HGDIOBJ, &::DeleteObject>>;
// A memory device context of CreateCompatibleDC.
using TMemoryDc = ScopedGeneric<TZeroIsNoneTraits<HDC, &::DeleteDC>>;

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
using TWindow = ScopedGeneric<TZeroIsNoneTraits<HWND, &::DestroyWindow>>;

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
using TMmTimer = ScopedGeneric<TZeroIsNoneTraits<UINT, &::timeKillEvent>>;
