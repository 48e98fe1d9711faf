// SPDX-License-Identifier: MIT
#pragma once
// A tiny tool side for the simulator tests: the line opened with raw termios, written and read
// with generous time limits.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/ScopedFd.h"

namespace sim_test {

using Bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class ToolSide {
public:
    explicit ToolSide(const std::string& path) {
        file_.Reset(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
        if (!file_.Valid()) throw std::runtime_error("cannot open " + path);
        termios settings{};
        ::tcgetattr(file_.Get(), &settings);
        ::cfmakeraw(&settings);
        ::cfsetspeed(&settings, B9600);
        ::tcsetattr(file_.Get(), TCSANOW, &settings);
    }

    void Close() { file_.Reset(); }

    void Write(const Bytes& bytes) {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(file_.Get(), bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<size_t>(n);
            } else {
                pollfd p{file_.Get(), POLLOUT, 0};
                ::poll(&p, 1, 100);
            }
        }
    }

    // Reads until `count` bytes came or the time ran out; returns what came.
    Bytes Read(size_t count, std::chrono::milliseconds limit = 5s) {
        Bytes bytes;
        const auto end = Clock::now() + limit;
        while (bytes.size() < count) {
            const Bytes piece = ReadSome(end, count - bytes.size());
            if (piece.empty()) break;
            bytes.insert(bytes.end(), piece.begin(), piece.end());
        }
        return bytes;
    }

    // Reads until the bytes received end with `tail`; returns everything read, tail included.
    Bytes ReadThrough(const Bytes& tail, std::chrono::milliseconds limit = 5s) {
        Bytes bytes;
        const auto end = Clock::now() + limit;
        while (!EndsWith(bytes, tail)) {
            const Bytes piece = ReadSome(end, 1);
            if (piece.empty()) break;
            bytes.insert(bytes.end(), piece.begin(), piece.end());
        }
        return bytes;
    }

    // True when nothing at all arrives for `quiet`.
    bool StaysQuiet(std::chrono::milliseconds quiet) {
        return ReadSome(Clock::now() + quiet, 4096).empty();
    }

    // True once the line reports a hang-up within the time limit.
    bool HangsUp(std::chrono::milliseconds limit = 5s) {
        const auto end = Clock::now() + limit;
        while (Clock::now() < end) {
            pollfd p{file_.Get(), POLLIN, 0};
            ::poll(&p, 1, Remaining(end));
            if (p.revents & (POLLHUP | POLLERR)) return true;
            uint8_t buffer[256];
            const ssize_t n = ::read(file_.Get(), buffer, sizeof buffer);
            if (n < 0 && errno == EIO) return true;
        }
        return false;
    }

    int Descriptor() const { return file_.Get(); }

private:
    static bool EndsWith(const Bytes& bytes, const Bytes& tail) {
        return bytes.size() >= tail.size() &&
               std::equal(tail.begin(), tail.end(), bytes.end() - tail.size());
    }
    static int Remaining(Clock::time_point end) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
        return left.count() > 0 ? static_cast<int>(left.count()) : 0;
    }
    // One read of at most `most` bytes once something is there; empty when the time ran out.
    Bytes ReadSome(Clock::time_point end, size_t most) {
        for (;;) {
            pollfd p{file_.Get(), POLLIN, 0};
            if (::poll(&p, 1, Remaining(end)) <= 0) return {};
            Bytes bytes(most);
            const ssize_t n = ::read(file_.Get(), bytes.data(), most);
            if (n > 0) {
                bytes.resize(static_cast<size_t>(n));
                return bytes;
            }
            if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) return {};
        }
    }

    ScopedFd file_;
};

}  // namespace sim_test
