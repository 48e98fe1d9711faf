// SPDX-License-Identifier: MIT
#pragma once
// The desktop's handles on Win32, each owned through ScopedGeneric and freed by its own call:
// GDI objects, memory and window device contexts, a window's paint, an object selected into a
// device context and its saved state, windows, window classes and multimedia timers.
#include <windows.h>

#include <mmsystem.h>

#include "base/ScopedGeneric.h"

// A pen, brush, font, region or bitmap of our own; never a stock object.
using TGdiObject = ScopedGeneric<ZeroIsNoneTraits<HGDIOBJ, &::DeleteObject>>;
// A memory device context of CreateCompatibleDC.
using TMemoryDc = ScopedGeneric<ZeroIsNoneTraits<HDC, &::DeleteDC>>;

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

// A window's paint of WM_PAINT, from BeginPaint to EndPaint.
struct TWindowPaintHandle {
    HWND Window = nullptr;
    PAINTSTRUCT Paint{};
    friend bool operator==(const TWindowPaintHandle& a, const TWindowPaintHandle& b) {
        return a.Window == b.Window && a.Paint.hdc == b.Paint.hdc;
    }
};
struct TWindowPaintTraits {
    using Value = TWindowPaintHandle;
    static TWindowPaintHandle None() { return {}; }
    static bool IsValid(const TWindowPaintHandle& h) { return h.Paint.hdc != nullptr; }
    static void Free(TWindowPaintHandle h) { ::EndPaint(h.Window, &h.Paint); }
};
using TWindowPaint = ScopedGeneric<TWindowPaintTraits>;
// The paint of `window`: its device context clipped to what needs painting (Get().Paint.hdc) and
// that area (Get().Paint.rcPaint), until the owner goes.
inline TWindowPaint BeginWindowPaint(HWND window) {
    TWindowPaintHandle paint{window, {}};
    ::BeginPaint(window, &paint.Paint);
    return TWindowPaint(paint);
}

// An object selected into a device context, and the one it displaced, which goes back when the
// owner goes: a DC never holds an object past its deletion.
struct TSelectionHandle {
    HDC Dc = nullptr;
    HGDIOBJ Displaced = nullptr;
    friend bool operator==(const TSelectionHandle&, const TSelectionHandle&) = default;
};
struct TSelectionTraits {
    using Value = TSelectionHandle;
    static TSelectionHandle None() { return {}; }
    // SelectObject gives null when it fails; then nothing is to go back.
    static bool IsValid(const TSelectionHandle& h) { return h.Displaced != nullptr; }
    static void Free(const TSelectionHandle& h) { ::SelectObject(h.Dc, h.Displaced); }
};
using TSelection = ScopedGeneric<TSelectionTraits>;
inline TSelection SelectInto(HDC dc, HGDIOBJ object) {
    return TSelection({dc, ::SelectObject(dc, object)});
}

// A device context's state of SaveDC, brought back (with the objects it had selected) when the
// owner goes.
struct TSavedDcHandle {
    HDC Dc = nullptr;
    int Level = 0;
    friend bool operator==(const TSavedDcHandle&, const TSavedDcHandle&) = default;
};
struct TSavedDcTraits {
    using Value = TSavedDcHandle;
    static TSavedDcHandle None() { return {}; }
    static bool IsValid(const TSavedDcHandle& h) { return h.Level != 0; }
    static void Free(const TSavedDcHandle& h) { ::RestoreDC(h.Dc, h.Level); }
};
using TSavedDc = ScopedGeneric<TSavedDcTraits>;
inline TSavedDc SaveDcState(HDC dc) {
    return TSavedDc({dc, ::SaveDC(dc)});
}

// A window of our own; one the system destroyed meanwhile is given up (Release) at its
// WM_NCDESTROY, so that it is not destroyed twice.
using TWindow = ScopedGeneric<ZeroIsNoneTraits<HWND, &::DestroyWindow>>;

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
using TMmTimer = ScopedGeneric<ZeroIsNoneTraits<UINT, &::timeKillEvent>>;
