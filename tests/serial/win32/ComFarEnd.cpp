// SPDX-License-Identifier: MIT
#include "ComFarEnd.h"

#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace {

ScopedHandle OpenPort(const std::string& port) {
    ScopedHandle handle(::CreateFileA(("\\\\.\\" + port).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
    if (!handle.Valid()) throw std::runtime_error("cannot open " + port);
    ::PurgeComm(handle.Get(), PURGE_RXCLEAR | PURGE_TXCLEAR);
    return handle;
}

}  // namespace

ComFarEnd::ComFarEnd() {
    const char* pair = std::getenv("TEVR_NULL_MODEM");
    const std::string ports = pair ? pair : "";
    const auto comma = ports.find(',');
    if (comma == std::string::npos)
        throw std::runtime_error("TEVR_NULL_MODEM does not name two ports joined by a null modem");
    port_ = ports.substr(0, comma);
    (void)OpenPort(port_);
    handle_ = OpenPort(ports.substr(comma + 1));
    // Reads return at once with what is there.
    COMMTIMEOUTS timeouts{MAXDWORD, 0, 0, 0, 0};
    ::SetCommTimeouts(handle_.Get(), &timeouts);
}

void ComFarEnd::Send(const std::vector<unsigned char>& bytes) {
    DWORD written = 0;
    if (!::WriteFile(handle_.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) ||
        written != bytes.size())
        throw std::runtime_error("the far end did not send everything");
}

std::vector<unsigned char> ComFarEnd::Receive(std::size_t count, std::chrono::milliseconds limit) {
    std::vector<unsigned char> got;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (got.size() < count && std::chrono::steady_clock::now() < deadline) {
        unsigned char buffer[4096];
        DWORD n = 0;
        const auto wanted = static_cast<DWORD>(std::min(sizeof buffer, count - got.size()));
        if (::ReadFile(handle_.Get(), buffer, wanted, &n, nullptr) && n > 0)
            got.insert(got.end(), buffer, buffer + n);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return got;
}
