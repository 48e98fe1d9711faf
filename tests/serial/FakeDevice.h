// SPDX-License-Identifier: MIT
#pragma once
// A scripted device for the component's logic, and a dispatcher that keeps what it is given
// until the test runs it, so that hand-overs can be held in flight.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "serial/VaComm.h"
#include "serial/VaPort.h"

class FakeWatch;

// Codes of the system the suite runs on: one that any call may fail with, and one that says the
// device has gone.
#if defined(_WIN32)
inline constexpr int kCallFailedCode = 87;    // ERROR_INVALID_PARAMETER
inline constexpr int kDeviceGoneCode = 1167;  // ERROR_DEVICE_NOT_CONNECTED
#else
inline constexpr int kCallFailedCode = 22;  // EINVAL
inline constexpr int kDeviceGoneCode = 5;   // EIO
#endif

class FakeDevice : public TVaPortDevice, public std::enable_shared_from_this<FakeDevice> {
public:
    // Everything below is guarded by `mutex`.
    std::mutex mutex;
    std::condition_variable cv;
    std::vector<TVaDcb> lineSettings;
    int lineSettingsError = 0;
    std::deque<unsigned char> input;
    std::vector<unsigned char> output;
    bool acceptWrites = true;
    int writeError = 0;
    int statusError = 0;  // ReadStatus fails with it, as on a device that has gone
    std::uint32_t pendingErrors = 0;
    std::vector<std::uint32_t> events;  // raised for the event watch
    int watchesCreated = 0;
    int watchesAlive = 0;
    bool closed = false;

    void Raise(std::uint32_t mask);
    void SetAcceptWrites(bool accept);
    std::vector<unsigned char> Output();
    bool WaitOutput(std::size_t count);

    void Close() override;
    int WriteLineSettings(const TVaDcb& dcb) override;
    int SetDtr(bool) override { return 0; }
    int ReadStatus(TVaCommStatus& status) override;
    int InputCount(int& count) override;
    int Read(void* buffer, int count, int timeoutMs, int& got) override;
    int Write(const void* data, int count, int timeoutMs, int& written) override;
    std::unique_ptr<TVaPortWatch> WatchEvents(std::uint32_t mask, int& error) override;
    std::unique_ptr<TVaPortWatch> WatchWritable(int& error) override;
};

// A component that opens the fake instead of a device.
class FakeComm : public TVaComm {
public:
    explicit FakeComm(std::shared_ptr<TVaDispatcher> dispatcher)
        : TVaComm(std::move(dispatcher)), port(std::make_shared<FakeDevice>()) {}
    std::shared_ptr<FakeDevice> port;

protected:
    void OpenDevice() override { SetDevice(port); }
};

// Holds posted work until RunAll, on the thread that created it.
class HeldDispatcher : public TVaDispatcher {
public:
    void Post(std::function<void()> fn) override;
    bool IsOwningThread() const override { return std::this_thread::get_id() == owner_; }
    bool WaitPosted(std::size_t count);
    void RunAll();

private:
    const std::thread::id owner_ = std::this_thread::get_id();
    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<std::function<void()>> posted_;
};
