// SPDX-License-Identifier: MIT
#pragma once
// One board on one port, as a job with a result: opens the port with the boot loader's line
// settings, waits for the board's greeting, runs the transfer of the converted script on the
// event loop of the thread that made the session until the end command has left the port, and
// closes the port. It stops a transfer that makes no progress and one that a stop request
// ends. What happens on the way goes to its BoardSessionObserver, how it ended comes back as
// one BoardSessionResult; neither carries words. Everything of a session (its making, Attempt,
// every handler of its port, its end) happens on that one thread.
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "line/BoardSessionResult.h"
#include "line/BoardStop.h"
#include "line/VaCommTransferPort.h"
#include "loader/BootLoaderTransfer.h"
#include "serial/VaComm.h"
#include "serial/VaEventLoop.h"

struct BoardSessionOptions {
    std::string port;  // a path, or COM1 to COM8
    // Without a frame going out for this long the session is stalled.
    std::chrono::milliseconds timeout{10000};
    // Station mode: no time limit while the port waits for a board to greet.
    bool waitForBoard = false;
};

// Called on the session's thread, from inside Attempt.
class BoardSessionObserver {
public:
    using Clock = std::chrono::steady_clock;
    virtual ~BoardSessionObserver() = default;

    // The port is open and waits for a board's greeting.
    virtual void Waiting(const std::string& port) = 0;
    // The boot loader greeted and is being answered.
    virtual void Greeted() = 0;
    // The device's second greeting: the transfer of `blocksTotal` blocks begins.
    virtual void Started(int64_t blocksTotal, Clock::time_point at) = 0;
    // A block's checksum came back right; the last one is told by Finished instead.
    virtual void Confirmed(int64_t blocksConfirmed, Clock::time_point at) = 0;
    // The end command left the port after the last correct checksum.
    virtual void Finished(int64_t blocksConfirmed, Clock::time_point at) = 0;
    // The device answered the block at `blockAddress` with `received` instead of `expected`;
    // the transfer waits for the right one. Once per block.
    virtual void WrongChecksum(uint32_t blockAddress, uint8_t expected, uint8_t received) = 0;
    // The transfer refused to start (`message` says why).
    virtual void Refused(TransferMessage message) = 0;
    // One line of the exchange log.
    virtual void Logged(const std::string& line) = 0;
};

class BoardSession : private TransferObserver {
public:
    // The end command is three bytes; a line that cannot take them in this long has gone.
    static constexpr std::chrono::seconds kEndCommandLimit{5};

    // `script`: the converted update file, which outlives the session. `stop` quits the
    // session's event loop.
    BoardSession(BoardSessionOptions options, const ConvertedUpdate& script,
                 BoardSessionObserver& observer, BoardStop& stop);
    ~BoardSession() override;
    BoardSession(const BoardSession&) = delete;
    BoardSession& operator=(const BoardSession&) = delete;

    // One board: opens the port, waits for the board's greeting, transfers and closes the port.
    // Never throws for the port, the transfer or the update file: a failure is in the result.
    BoardSessionResult Attempt();

    // The loop of the session's thread, which waits for the port itself: the device's answers
    // reach the transfer without a thread handing them over, and the next frame is written by
    // the handler directly. A front end may post to it what is to follow a handler.
    TVaEventLoop& Loop() { return *loop_; }

private:
    enum class Ending { Completed, Stalled, Interrupted, Failed };

    bool Start();
    Ending Drive();
    void Finish(Ending ending, BoardSessionResult& result);
    void Logged(const std::string& line) override;
    void Happened(const TransferEvent& event) override;
    void Greeted(TLinkState linkState);
    void TransferCompleted(int64_t blocksConfirmed);
    void Stop();
    void Fail(BoardCause cause);
    void FailWith(const std::exception& error, BoardFault serialFault);
    BoardCause EndingCause() const;
    StallReason Stall() const;

    const BoardSessionOptions options_;
    BoardSessionObserver& observer_;
    BoardStop& stop_;
    std::shared_ptr<TVaEventLoop> loop_;
    TVaComm comm_;
    VaCommTransferPort port_;
    const ConvertedUpdate& script_;
    BootLoaderTransfer transfer_;
    const int64_t scriptBlocks_;  // of the script every attempt sends

    // Of the current attempt.
    std::optional<BoardCause> failure_;  // the first failure
    bool greeted_ = false;
    // When the board greeted: its time is counted from there, not from the wait before.
    std::chrono::system_clock::time_point greetedAt_{};
    std::chrono::steady_clock::time_point greetedSince_{};
    bool started_ = false;
    bool endSent_ = false;
};
