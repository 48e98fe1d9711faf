// SPDX-License-Identifier: MIT
#pragma once
// Owns a POSIX file descriptor and closes it once, when the owner goes; for the Linux code only.
#include <unistd.h>

#include <utility>

class ScopedFd {
public:
    ScopedFd() = default;
    explicit ScopedFd(int fd) : fd_(fd) {}
    ~ScopedFd() { Reset(); }
    ScopedFd(ScopedFd&& other) noexcept : fd_(other.Release()) {}
    ScopedFd& operator=(ScopedFd&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    ScopedFd(const ScopedFd&) = delete;
    ScopedFd& operator=(const ScopedFd&) = delete;

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    // Gives the descriptor up without closing it.
    int Release() { return std::exchange(fd_, -1); }
    // Closes the descriptor held (if any) and holds `fd` instead.
    void Reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_ = -1;
};
