// SPDX-License-Identifier: MIT
#include "cli/FlashHost.h"

FlashHost::FlashHost(std::string file, std::string port)
    : file_(std::move(file)), port_(std::move(port)) {}

void FlashHost::ShowMessage(const std::string& text) {
    if (OnMessage) OnMessage(text);
}

void FlashHost::TransferFinished(TransferEnding ending) {
    if (OnFinished) OnFinished(ending);
}

uint32_t FlashHost::TickCount() {
    const auto elapsed = std::chrono::steady_clock::now() - epoch_;
    // Wraps at 32 bits like the system's tick count the transfer was written for.
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}
