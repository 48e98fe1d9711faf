// SPDX-License-Identifier: MIT
#pragma once
// The far end of a null modem between two COM ports (under Wine: two pseudo-terminals joined by
// tests/wine/null_modem.cpp): the test drives one port with plain system calls while the
// component opens the other. TEVR_NULL_MODEM names the pair, "COM8,COM9": the component's port
// first; without it there is no far end.
#include <chrono>
#include <string>
#include <vector>

#include "base/ScopedHandle.h"

class ComFarEnd {
public:
    // Opens the far port, and discards whatever waits in both ports' queues from earlier tests.
    // Throws std::runtime_error when TEVR_NULL_MODEM is not set.
    ComFarEnd();

    // The port the component opens.
    const std::string& Port() const { return port_; }

    void Send(const std::vector<unsigned char>& bytes);
    // Collects `count` bytes, or what came within `limit`.
    std::vector<unsigned char> Receive(std::size_t count,
                                       std::chrono::milliseconds limit = std::chrono::seconds(10));

private:
    std::string port_;
    ScopedHandle handle_;
};
