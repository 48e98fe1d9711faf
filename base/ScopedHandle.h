// SPDX-License-Identifier: MIT
#pragma once
// Owns a Win32 handle and closes it once, when the owner goes; for the Windows code only.
#include <windows.h>

#include "base/ScopedGeneric.h"

struct HandleTraits {
    using Value = HANDLE;
    static HANDLE None() { return INVALID_HANDLE_VALUE; }
    // CreateFile reports failure with INVALID_HANDLE_VALUE, CreateEvent and OpenThread with null.
    static bool IsValid(HANDLE handle) {
        return handle != nullptr && handle != INVALID_HANDLE_VALUE;
    }
    static void Free(HANDLE handle) { ::CloseHandle(handle); }
};

using ScopedHandle = ScopedGeneric<HandleTraits>;
