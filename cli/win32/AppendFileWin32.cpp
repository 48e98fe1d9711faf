// SPDX-License-Identifier: MIT
#include <windows.h>

#include "base/ScopedGeneric.h"
#include "base/ScopedHandle.h"
#include "base/Translation.h"
#include "base/Utf8Path.h"
#include "cli/AppendFile.h"
#include "cli/SubjectError.h"
#include "serial/VaUtils.h"

namespace {

std::string LastErrorText() {
    return VaSystemErrorText(static_cast<int>(::GetLastError()));
}

// A byte far beyond any journal, locked by every writer around its write: appending is one step
// where the file system makes it so, and made one step where it does not (Wine, some network
// shares). Nobody reads there, so readers are never held up.
OVERLAPPED WritersLock() {
    OVERLAPPED at{};
    at.Offset = 0xFFFFFFFE;
    at.OffsetHigh = 0x7FFFFFFF;
    return at;
}

// The writers' lock of a file that LockFileEx took, given back when the owner goes.
struct WritersLockTraits {
    using Value = HANDLE;
    static HANDLE None() { return nullptr; }
    static bool IsValid(HANDLE file) { return file != nullptr; }
    static void Free(HANDLE file) {
        OVERLAPPED at = WritersLock();
        ::UnlockFileEx(file, 0, 1, 0, &at);
    }
};
using ScopedWritersLock = ScopedGeneric<WritersLockTraits>;

}  // namespace

struct AppendFile::Native {
    ScopedHandle handle;
};

AppendFile::AppendFile(const std::string& path)
    : path_(path),
      // The right to append, not to write elsewhere: every write goes to the end of the file as
      // it is then. Reading, which nothing does, is what the writers' lock asks for.
      native_(new Native{ScopedHandle(
          ::CreateFileW(PathFromUtf8(path).c_str(), FILE_APPEND_DATA | FILE_READ_DATA | SYNCHRONIZE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr))}) {
    if (!native_->handle.Valid())
        throw SubjectError(path_, Fill(Tr("cannot open: %1"), {LastErrorText()}));
}

AppendFile::~AppendFile() = default;

void AppendFile::Append(const std::string& text) {
    OVERLAPPED lock = WritersLock();
    if (!::LockFileEx(native_->handle.Get(), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &lock))
        throw SubjectError(path_, Fill(Tr("cannot write: %1"), {LastErrorText()}));
    const ScopedWritersLock locked(native_->handle.Get());
    DWORD written = 0;
    if (!::WriteFile(native_->handle.Get(), text.data(), static_cast<DWORD>(text.size()), &written,
                     nullptr))
        throw SubjectError(path_, Fill(Tr("cannot write: %1"), {LastErrorText()}));
    // A part of a line (a full disk) would spoil the file for every reader after it.
    if (written != text.size()) throw SubjectError(path_, kAppendCutShort);
}
