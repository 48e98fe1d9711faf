// SPDX-License-Identifier: MIT
#include "widgets/win32/WindowClass.h"

#include <cassert>
#include <map>
#include <string>

#include "base/ThreadSafety.h"
#include "widgets/win32/WinHandles.h"

namespace {
struct TRegistry {
    Mutex lock;
    std::map<std::wstring, TWindowClass> classes GUARDED_BY(lock);
};

// Made at the first registration, so it goes after the windows made of its classes.
TRegistry& Registry() {
    static TRegistry registry;
    return registry;
}
}  // namespace

LPCWSTR RegisterWindowClass(WNDCLASSEXW wc) {
    assert(wc.lpszClassName && wc.lpfnWndProc);
    TRegistry& r = Registry();
    MutexLock guard(r.lock);
    if (r.classes.count(wc.lpszClassName) == 0) {
        wc.cbSize = sizeof wc;
        wc.hInstance = GetModuleHandleW(nullptr);
        TWindowClass atom(RegisterClassExW(&wc));
        assert(atom.Valid());
        r.classes.emplace(wc.lpszClassName, std::move(atom));
    }
    return wc.lpszClassName;
}
