// SPDX-License-Identifier: MIT
#include "PtyFarEnd.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <stdexcept>

PtyFarEnd::PtyFarEnd() : master_(posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {
    if (!master_.Valid() || grantpt(master_.Get()) != 0 || unlockpt(master_.Get()) != 0)
        throw std::runtime_error("no pseudo-terminal");
    char name[128];
    if (ptsname_r(master_.Get(), name, sizeof name) != 0) throw std::runtime_error("no pty name");
    slavePath_ = name;
}

void PtyFarEnd::HangUp() {
    master_.Reset();
}

void PtyFarEnd::Send(const std::vector<unsigned char>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(master_.Get(), bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else {
            pollfd pfd{master_.Get(), POLLOUT, 0};
            poll(&pfd, 1, 100);
        }
    }
}

std::vector<unsigned char> PtyFarEnd::Receive(std::size_t count, std::chrono::milliseconds limit) {
    std::vector<unsigned char> got;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (got.size() < count) {
        unsigned char buffer[4096];
        const ssize_t n = read(master_.Get(), buffer, std::min(sizeof buffer, count - got.size()));
        if (n > 0) {
            got.insert(got.end(), buffer, buffer + n);
            continue;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd pfd{master_.Get(), POLLIN, 0};
        poll(&pfd, 1, static_cast<int>(std::min<long long>(left.count(), 100)));
    }
    return got;
}
