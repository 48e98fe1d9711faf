// SPDX-License-Identifier: MIT
// Update files on Linux: a descriptor read with read(2), errors from errno.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/ScopedFd.h"
#include "files/SystemFile.h"
#include "loader/Errors.h"

FileFault FileFaultOf(int code) {
    switch (code) {
        case ENOENT:
            return FileFault::NotFound;
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP:
            return FileFault::InvalidName;
        case EMFILE:
        case ENFILE:
            return FileFault::TooManyOpen;
        case EACCES:
        case EPERM:
            return FileFault::AccessDenied;
        case EISDIR:
            return FileFault::Folder;
        case ENOSPC:
        case EDQUOT:
            return FileFault::DiskFull;
        default:
            return FileFault::Other;
    }
}

namespace {

class LinuxFile final : public SystemFile {
public:
    explicit LinuxFile(ScopedFd fd) : fd_(std::move(fd)) {}

    size_t Read(char* buffer, size_t size) override {
        for (;;) {
            const ssize_t n = ::read(fd_.Get(), buffer, size);
            if (n >= 0) return static_cast<size_t>(n);
            if (errno != EINTR) throw FileError(errno);
        }
    }

private:
    ScopedFd fd_;
};

}  // namespace

std::unique_ptr<SystemFile> OpenSystemFile(const std::string& path) {
    // Non-blocking open so that a FIFO named as the update file cannot hang the caller.
    ScopedFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd.Valid()) throw FileError(errno);
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0) throw FileError(errno);
    if (S_ISDIR(st.st_mode)) throw FileError(EISDIR);
    const int flags = ::fcntl(fd.Get(), F_GETFL);
    if (flags >= 0) ::fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK);
    return std::make_unique<LinuxFile>(std::move(fd));
}
