// SPDX-License-Identifier: MIT
#include "FakeDevice.h"

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace {

constexpr auto kPatience = std::chrono::seconds(10);

}  // namespace

class FakeWatch : public TVaPortWatch {
public:
    explicit FakeWatch(std::shared_ptr<FakeDevice> port) : port_(std::move(port)) {}
    ~FakeWatch() override {
        std::lock_guard lock(port_->mutex);
        --port_->watchesAlive;
        port_->cv.notify_all();
    }
    int WaitEvents(std::uint32_t& events) override {
        std::unique_lock lock(port_->mutex);
        port_->cv.wait(lock, [&] { return woken_ || !port_->events.empty(); });
        events = 0;
        if (woken_) return 0;
        events = port_->events.front();
        port_->events.erase(port_->events.begin());
        return 0;
    }
    bool WaitWritable() override {
        std::unique_lock lock(port_->mutex);
        port_->cv.wait(lock, [&] { return woken_ || port_->acceptWrites; });
        return !woken_;
    }
    void Pause(int ms) override {
        std::unique_lock lock(port_->mutex);
        port_->cv.wait_for(lock, std::chrono::milliseconds(ms), [&] { return woken_; });
    }
    void Wake() override {
        std::lock_guard lock(port_->mutex);
        woken_ = true;
        port_->cv.notify_all();
    }

private:
    std::shared_ptr<FakeDevice> port_;
    bool woken_ = false;  // under port_->mutex
};

void FakeDevice::Raise(std::uint32_t mask) {
    std::lock_guard lock(mutex);
    events.push_back(mask);
    cv.notify_all();
}

void FakeDevice::SetAcceptWrites(bool accept) {
    std::lock_guard lock(mutex);
    acceptWrites = accept;
    cv.notify_all();
}

std::vector<unsigned char> FakeDevice::Output() {
    std::lock_guard lock(mutex);
    return output;
}

bool FakeDevice::WaitOutput(std::size_t count) {
    std::unique_lock lock(mutex);
    return cv.wait_for(lock, kPatience, [&] { return output.size() >= count; });
}

void FakeDevice::Close() {
    std::lock_guard lock(mutex);
    closed = true;
}

int FakeDevice::WriteLineSettings(const TVaDcb& dcb) {
    std::lock_guard lock(mutex);
    if (closed) return EBADF;
    lineSettings.push_back(dcb);
    return lineSettingsError;
}

int FakeDevice::ReadStatus(TVaCommStatus& status) {
    std::lock_guard lock(mutex);
    status = TVaCommStatus{};
    if (closed) return EBADF;
    if (statusError) return statusError;
    status.Errors = pendingErrors;
    status.InQueue = static_cast<std::uint32_t>(input.size());
    pendingErrors = 0;
    return 0;
}

int FakeDevice::InputCount(int& count) {
    std::lock_guard lock(mutex);
    count = static_cast<int>(input.size());
    return closed ? EBADF : 0;
}

int FakeDevice::Read(void* buffer, int count, int, int& got) {
    std::lock_guard lock(mutex);
    got = 0;
    if (closed) return EBADF;
    auto* bytes = static_cast<unsigned char*>(buffer);
    while (got < count && !input.empty()) {
        bytes[got++] = input.front();
        input.pop_front();
    }
    return 0;
}

int FakeDevice::Write(const void* data, int count, int, int& written) {
    std::lock_guard lock(mutex);
    written = 0;
    if (closed) return EBADF;
    if (writeError) return writeError;
    if (!acceptWrites) return 0;
    const auto* bytes = static_cast<const unsigned char*>(data);
    output.insert(output.end(), bytes, bytes + count);
    written = count;
    cv.notify_all();
    return 0;
}

std::unique_ptr<TVaPortWatch> FakeDevice::WatchEvents(std::uint32_t, int& error) {
    error = 0;
    std::lock_guard lock(mutex);
    ++watchesCreated;
    ++watchesAlive;
    return std::make_unique<FakeWatch>(shared_from_this());
}

std::unique_ptr<TVaPortWatch> FakeDevice::WatchWritable(int& error) {
    error = 0;
    std::lock_guard lock(mutex);
    ++watchesCreated;
    ++watchesAlive;
    return std::make_unique<FakeWatch>(shared_from_this());
}

void HeldDispatcher::Post(std::function<void()> fn) {
    std::lock_guard lock(mutex_);
    posted_.push_back(std::move(fn));
    cv_.notify_all();
}

bool HeldDispatcher::WaitPosted(std::size_t count) {
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, kPatience, [&] { return posted_.size() >= count; });
}

void HeldDispatcher::RunAll() {
    std::vector<std::function<void()>> work;
    {
        std::lock_guard lock(mutex_);
        work.swap(posted_);
    }
    for (auto& fn : work)
        fn();
}
