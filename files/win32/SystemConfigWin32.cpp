// SPDX-License-Identifier: MIT
#include <shlobj.h>
#include <windows.h>

#include <cstdlib>

#include "base/ScopedGeneric.h"
#include "base/WideText.h"
#include "files/SystemConfig.h"

namespace {
struct TaskMemoryTraits {
    using Value = wchar_t*;
    static Value None() { return nullptr; }
    static bool IsValid(Value value) { return value != nullptr; }
    static void Free(Value value) { ::CoTaskMemFree(value); }
};
}  // namespace

std::string SystemConfigFolder() {
    if (const wchar_t* folder = ::_wgetenv(L"TEVR_LOADER_CONFIG"); folder && *folder)
        return Utf8FromWide(folder);
    // The program data folder (C:\ProgramData): every user reads it, administrators write it.
    wchar_t* path = nullptr;
    const HRESULT result = ::SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &path);
    const ScopedGeneric<TaskMemoryTraits> owned(path);
    if (FAILED(result) || !path) return "C:\\ProgramData\\tevr-loader";
    return Utf8FromWide(path) + "\\tevr-loader";
}

std::string SystemTrustedKeysPath() {
    return SystemConfigFolder() + "\\trusted-keys";
}
