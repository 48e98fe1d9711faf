// SPDX-License-Identifier: MIT
#include "loader/TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "loader/Errors.h"

namespace {
constexpr char kCtrlZ = 26;
constexpr size_t kBufferSize = 64 * 1024;
}  // namespace

std::string FileErrorMessage(int errnoValue) {
    switch (errnoValue) {
        case ENOENT:
            return "File not found";
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP:
            return "Invalid filename";
        case EMFILE:
        case ENFILE:
            return "Too many open files";
        case EACCES:
        case EPERM:
        case EISDIR:  // a folder picked as the update file cannot be read as one
            return "File access denied";
        case ENOSPC:
        case EDQUOT:
            return "Disk full";
        default:
            return "I/O error " + std::to_string(errnoValue);
    }
}

struct TextFile::Impl {
    int fd = -1;
    std::vector<char> buffer = std::vector<char>(kBufferSize);
    size_t pos = 0;
    size_t len = 0;
    bool atEnd = false;  // no more bytes, or a Ctrl-Z ended the file

    ~Impl() {
        if (fd >= 0) ::close(fd);
    }

    // True when at least one unread byte is in the buffer.
    bool Fill() {
        if (pos < len) return true;
        if (atEnd) return false;
        for (;;) {
            ssize_t n = ::read(fd, buffer.data(), buffer.size());
            if (n > 0) {
                pos = 0;
                len = static_cast<size_t>(n);
                return true;
            }
            if (n == 0) {
                atEnd = true;
                return false;
            }
            if (errno != EINTR) throw EInOutError(FileErrorMessage(errno));
        }
    }

    // Consumes bytes up to and including the next LF (the rest of a line cut by a Ctrl-Z).
    void SkipToLineEnd() {
        while (Fill()) {
            const char* start = buffer.data() + pos;
            const void* lf = std::memchr(start, '\n', len - pos);
            if (lf) {
                pos += static_cast<size_t>(static_cast<const char*>(lf) - start) + 1;
                return;
            }
            pos = len;
        }
    }
};

TextFile::TextFile(const std::string& path) : impl_(std::make_unique<Impl>()) {
    // Non-blocking open so that a FIFO named as the update file cannot hang the caller.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) throw EInOutError(FileErrorMessage(errno));
    impl_->fd = fd;
    struct stat st {};
    if (::fstat(fd, &st) != 0) throw EInOutError(FileErrorMessage(errno));
    if (S_ISDIR(st.st_mode)) throw EInOutError(FileErrorMessage(EISDIR));
    int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
}

TextFile::~TextFile() = default;

void TextFile::ReadLine(std::string& line) {
    Impl& f = *impl_;
    line.clear();
    bool lineStarted = false;  // a byte of this line has been consumed
    while (f.Fill()) {
        const char* start = f.buffer.data() + f.pos;
        const char* end = f.buffer.data() + f.len;
        const char* p = start;
        while (p != end && *p != '\n' && *p != '\r' && *p != kCtrlZ)
            ++p;
        line.append(start, p);
        if (p != start) lineStarted = true;
        f.pos += static_cast<size_t>(p - start);
        if (p == end) continue;

        char c = *p;
        ++f.pos;
        if (c == '\n') return;
        if (c == kCtrlZ) {
            if (!lineStarted) {
                // Ctrl-Z at the start of a line: it and everything after it are ignored.
                f.atEnd = true;
                f.pos = f.len;
                return;
            }
            f.SkipToLineEnd();
            return;
        }
        // CR: part of a CR LF line end, or dropped when no LF follows.
        lineStarted = true;
        if (f.Fill() && f.buffer[f.pos] == '\n') {
            ++f.pos;
            return;
        }
    }
}

bool TextFile::Eof() {
    Impl& f = *impl_;
    if (!f.Fill()) return true;
    if (f.buffer[f.pos] == kCtrlZ) {
        f.atEnd = true;
        f.pos = f.len;
        return true;
    }
    return false;
}
