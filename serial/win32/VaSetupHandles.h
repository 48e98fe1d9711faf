// SPDX-License-Identifier: MIT
#pragma once
// The device manager as the port list reads it: the ports' setup class, and the handles it reads
// through, each owned through ScopedGeneric: registry keys and device information sets.
#include <windows.h>
// After windows.h, which it needs.
#include <setupapi.h>

#include "base/ScopedGeneric.h"

// The device setup class "Ports (COM & LPT)".
inline constexpr GUID kVaPortsClass = {
    0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

// A registry key of RegOpenKeyEx (null when it fails) or SetupDiOpenDevRegKey
// (INVALID_HANDLE_VALUE when it fails).
struct TVaRegistryKeyTraits {
    using Value = HKEY;
    static HKEY None() { return nullptr; }
    static bool IsValid(HKEY key) {
        return key != nullptr && key != static_cast<HKEY>(INVALID_HANDLE_VALUE);
    }
    static void Free(HKEY key) { ::RegCloseKey(key); }
};
using TVaRegistryKey = ScopedGeneric<TVaRegistryKeyTraits>;

// A device information set of SetupDiGetClassDevs or SetupDiCreateDeviceInfoList.
struct TVaDeviceInfoSetTraits {
    using Value = HDEVINFO;
    static HDEVINFO None() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HDEVINFO set) { return set != nullptr && set != INVALID_HANDLE_VALUE; }
    static void Free(HDEVINFO set) { ::SetupDiDestroyDeviceInfoList(set); }
};
using TVaDeviceInfoSet = ScopedGeneric<TVaDeviceInfoSetTraits>;
