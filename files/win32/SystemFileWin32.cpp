// SPDX-License-Identifier: MIT
// Update files on Windows: a handle read with ReadFile, errors from GetLastError, whose codes are
// the file-error table's own.
#include <windows.h>

#include "base/ScopedHandle.h"
#include "base/Utf8Path.h"
#include "files/SystemFile.h"
#include "loader/Errors.h"

FileFault FileFaultOf(int code) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
            return FileFault::NotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_FILENAME_EXCED_RANGE:
            return FileFault::InvalidName;
        case ERROR_TOO_MANY_OPEN_FILES:
            return FileFault::TooManyOpen;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:  // another program holds it open for writing
            return FileFault::AccessDenied;
        case ERROR_HANDLE_DISK_FULL:
        case ERROR_DISK_FULL:
            return FileFault::DiskFull;
        default:
            return FileFault::Other;
    }
}

namespace {

class Win32File final : public SystemFile {
public:
    explicit Win32File(ScopedHandle handle) : handle_(std::move(handle)) {}

    size_t Read(char* buffer, size_t size) override {
        // ReadFile takes 32-bit counts; the caller reads in small pieces anyway.
        const DWORD wanted = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
        DWORD got = 0;
        if (!::ReadFile(handle_.Get(), buffer, wanted, &got, nullptr)) {
            const DWORD error = ::GetLastError();
            // The writer of a pipe has closed it: that is the end of the file.
            if (error == ERROR_BROKEN_PIPE) return 0;
            throw FileError(static_cast<int>(error));
        }
        return got;
    }

private:
    ScopedHandle handle_;
};

bool IsFolder(const std::filesystem::path& name) {
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

std::unique_ptr<SystemFile> OpenSystemFile(const std::string& path) {
    std::filesystem::path name;
    try {
        name = PathFromUtf8(path);
    } catch (const std::exception&) {
        throw FileError(ERROR_INVALID_NAME);
    }
    // Others may go on reading and writing it, as they may on Linux. A folder cannot be opened
    // this way (that needs backup semantics).
    ScopedHandle handle(::CreateFileW(name.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.Valid()) {
        const DWORD error = ::GetLastError();
        // Windows answers a folder with "access denied"; the user is told it is a folder, as on
        // Linux, since that is what there is to fix.
        if (error == ERROR_ACCESS_DENIED && IsFolder(name)) {
            throw EInOutError(FileFault::Folder, static_cast<int>(error),
                              FileErrorMessage(static_cast<int>(error)));
        }
        throw FileError(static_cast<int>(error));
    }
    return std::make_unique<Win32File>(std::move(handle));
}
