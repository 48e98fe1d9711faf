// SPDX-License-Identifier: MIT
#pragma once
// The far end of a pseudo-terminal: the test opens the master and drives it, the component opens
// the slave by its path.
#include <chrono>
#include <string>
#include <vector>

#include "base/ScopedFd.h"

class PtyFarEnd {
public:
    PtyFarEnd();
    PtyFarEnd(const PtyFarEnd&) = delete;
    PtyFarEnd& operator=(const PtyFarEnd&) = delete;

    // The path the component opens.
    const std::string& Port() const { return slavePath_; }
    void Send(const std::vector<unsigned char>& bytes);
    // Closes the master, as a device that goes away does: the slave hangs up.
    void HangUp();
    // Collects `count` bytes, or what came within `limit`.
    std::vector<unsigned char> Receive(std::size_t count,
                                       std::chrono::milliseconds limit = std::chrono::seconds(10));
    // The output rate of the slave's line settings, read through the master.
    unsigned SlaveRate() const;

private:
    ScopedFd master_;
    std::string slavePath_;
};
