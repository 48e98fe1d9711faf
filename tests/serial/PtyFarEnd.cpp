// SPDX-License-Identifier: MIT
#include "PtyFarEnd.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <stdexcept>

TPtyFarEnd::TPtyFarEnd() : master_(posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
        throw std::runtime_error("no pseudo-terminal");
    char name[128];
    if (ptsname_r(master_, name, sizeof name) != 0) throw std::runtime_error("no pty name");
    slavePath_ = name;
}

TPtyFarEnd::~TPtyFarEnd() {
    HangUp();
}

void TPtyFarEnd::HangUp() {
    if (master_ >= 0) close(master_);
    master_ = -1;
}

void TPtyFarEnd::Send(const std::vector<unsigned char>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else {
            pollfd pfd{master_, POLLOUT, 0};
            poll(&pfd, 1, 100);
        }
    }
}

std::vector<unsigned char> TPtyFarEnd::Receive(std::size_t count, std::chrono::milliseconds limit) {
    std::vector<unsigned char> got;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (got.size() < count) {
        unsigned char buffer[4096];
        const ssize_t n = read(master_, buffer, std::min(sizeof buffer, count - got.size()));
        if (n > 0) {
            got.insert(got.end(), buffer, buffer + n);
            continue;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd pfd{master_, POLLIN, 0};
        poll(&pfd, 1, static_cast<int>(std::min<long long>(left.count(), 100)));
    }
    return got;
}
