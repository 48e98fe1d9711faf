// SPDX-License-Identifier: MIT
#pragma once
// Counts the opens of a device node, whoever opens it: what is refused before any port opens
// leaves the count at 0.
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <string>

#include "base/ScopedFd.h"

class OpenWatch {
public:
    explicit OpenWatch(const std::string& path) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        EXPECT_GE(inotify_add_watch(fd_.Get(), path.c_str(), IN_OPEN), 0);
    }
    int Opens() {
        int opens = 0;
        alignas(inotify_event) char buffer[4096];
        for (ssize_t n; (n = read(fd_.Get(), buffer, sizeof buffer)) > 0;)
            opens += static_cast<int>(n / static_cast<ssize_t>(sizeof(inotify_event)));
        return opens;
    }

private:
    ScopedFd fd_;
};
