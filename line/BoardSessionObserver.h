// SPDX-License-Identifier: MIT
#pragma once
// What a board's session tells its front end while it runs: the steps a progress display needs,
// the exchange log, every step of the transfer for a front end whose controls follow each one,
// and the errors met on the way. A front end overrides what it shows. Called on the driver's
// thread, from inside the session's events; a call may show a modal box before it returns.
#include <chrono>
#include <cstdint>
#include <exception>
#include <string>

#include "line/BoardSessionResult.h"
#include "loader/TransferObserver.h"

class BoardSessionObserver {
public:
    using Clock = std::chrono::steady_clock;
    virtual ~BoardSessionObserver() = default;

    // The port is open and waits for a board's greeting.
    virtual void Waiting(const std::string& port) { (void)port; }
    // The boot loader greeted and is being answered.
    virtual void Greeted() {}
    // The device's second greeting: the transfer of `blocksTotal` blocks begins.
    virtual void Started(int64_t blocksTotal, Clock::time_point at) {
        (void)blocksTotal;
        (void)at;
    }
    // A block's checksum came back right; the last one is told by Finished instead.
    virtual void Confirmed(int64_t blocksConfirmed, Clock::time_point at) {
        (void)blocksConfirmed;
        (void)at;
    }
    // The end command left the port after the last correct checksum.
    virtual void Finished(int64_t blocksConfirmed, Clock::time_point at) {
        (void)blocksConfirmed;
        (void)at;
    }
    // The device answered the block at `blockAddress` with `received` instead of `expected`;
    // the transfer waits for the right one. Once per block.
    virtual void WrongChecksum(uint32_t blockAddress, uint8_t expected, uint8_t received) {
        (void)blockAddress;
        (void)expected;
        (void)received;
    }
    // The transfer refused to start (`message` says why).
    virtual void Refused(TransferMessage message) { (void)message; }
    // One line of the exchange log.
    virtual void Logged(const std::string& line) { (void)line; }

    // Every event of the transfer, once the session has taken it in.
    virtual void Stepped(const TransferEvent& event) { (void)event; }
    // An error met on the way, with the cause a failed result would give it; whether it ends
    // the session is the session's rule (SessionErrors).
    virtual void Erred(const std::exception& error, const BoardCause& cause) {
        (void)error;
        (void)cause;
    }
};
