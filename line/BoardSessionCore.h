// SPDX-License-Identifier: MIT
#pragma once
// One board's session as a core that its driver feeds with events (a start, the bytes received,
// the end of the port's writes, the device gone, the time, a stop) and that gives one result. It
// runs the transfer on the driver's port and keeps the session's rules: the stall time-out, the
// wait before the first page command, the wait for the end command to leave, the outcome and its
// typed cause. It has no thread, no clock and no wait of its own and calls the system only
// through the port: the events that can move the transfer bring the time they happen at, and
// Deadline says when the driver is to call Tick at the latest. The blocking BoardSession, the
// window's logic and a page in the browser drive it alike.
//
// Every call comes from the driver's thread, one at a time, and none throws: an error goes to
// the observer's Erred and, as the rules say, ends the session with its cause.
#include <chrono>
#include <cstdint>
#include <exception>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "line/BoardSessionObserver.h"
#include "line/BoardSessionResult.h"
#include "loader/BootLoaderTransfer.h"
#include "loader/ConvertedUpdate.h"
#include "loader/TransferPort.h"

// What an error does to a session under way.
enum class SessionErrors : uint8_t {
    EndSession,  // it fails with the error's cause (nobody is there to decide)
    CarryOn,     // it goes on as far as it can; its user stops it (the window)
};

struct BoardSessionRules {
    // Without a frame going out for this long the session is stalled; none: it waits for as long
    // as its user lets it.
    std::optional<std::chrono::milliseconds> stallTimeout;
    // Station mode: no time limit while the port waits for a board to greet.
    bool waitForBoard = false;
    SessionErrors errors = SessionErrors::EndSession;
};

class BoardSessionCore : private TransferObserver {
public:
    using Clock = std::chrono::steady_clock;
    // The end command is three bytes; a line that cannot take them in this long has gone.
    static constexpr std::chrono::seconds kEndCommandLimit{5};

    // `port` is the driver's; `observer` hears what happens. Both outlive the core.
    BoardSessionCore(TransferPort& port, BoardSessionObserver& observer, BoardSessionRules rules);
    BoardSessionCore(const BoardSessionCore&) = delete;
    BoardSessionCore& operator=(const BoardSessionCore&) = delete;

    // --- Events -----------------------------------------------------------------------------
    // The link state and counters as a new window has them.
    void Reset();
    // A new attempt: opens the port `portName` through the driver and waits for a board's
    // greeting, to send `script` (copied; its end at line `scriptLineCount`). A port that does
    // not open, or no script, ends it at once.
    void Start(const std::vector<std::string>& script, int64_t scriptLineCount,
               const std::string& portName, Clock::time_point now);
    // The same of a converted update file's script.
    void Start(const ConvertedUpdate& update, const std::string& portName, Clock::time_point now) {
        Start(update.transferScript, update.ScriptLineCount, portName, now);
    }
    // The bytes waiting at the port, `count` of them read through it, or bytes already read.
    void Received(int32_t count, Clock::time_point now);
    void Received(std::span<const uint8_t> bytes, Clock::time_point now);
    // Every byte handed to the port so far has reached the device's driver.
    void Written(Clock::time_point now);
    // The port reported that the device or its adapter went away.
    void DeviceGone();
    // Time passes: what was due by `now` happens.
    void Tick(Clock::time_point now);
    // The user or a stop request ends the attempt; the port closes also when none runs (a
    // switch-off).
    void Stop();
    // An error the driver met outside these calls (on the port's own threads, say).
    void Failed(const std::exception& error);

    // --- What the driver asks ---------------------------------------------------------------
    // The latest time Tick is to come at; none while nothing is due.
    std::optional<Clock::time_point> Deadline() const;
    // The attempt has ended: its result is final until the next Start.
    bool Ended() const { return phase_ == Phase::Ended; }
    // How the latest attempt ended (or stands); the driver adds the wall-clock times and the
    // stop request's signal.
    BoardSessionResult Result() const;
    // When a board first greeted in this attempt.
    std::optional<Clock::time_point> GreetedAt() const { return greetedAt_; }
    const BootLoaderTransfer& Transfer() const { return transfer_; }

private:
    enum class Phase : uint8_t {
        Idle,        // no attempt yet
        Running,     // started: the transfer runs
        EndLeaving,  // the end command waits to reach the device's driver
        Ended,
    };

    bool Live() const { return phase_ == Phase::Running || phase_ == Phase::EndLeaving; }
    // Runs one step of the transfer; an error it raises is the session's.
    template <typename Step>
    void Guarded(Step&& step, BoardFault serialFault = BoardFault::SerialError);
    // After every event: the waits that came due, the progress made, the stall.
    void Advance(Clock::time_point now);
    void Logged(const std::string& line) override;
    void Happened(const TransferEvent& event) override;
    void Greeted(TLinkState linkState);
    void FailWith(const std::exception& error, BoardFault serialFault);
    void Fail(const std::exception& error, BoardCause cause);
    // Ends the attempt; a transfer still running is stopped.
    void End(BoardOutcome outcome, BoardCause cause);
    void StopTransfer();
    BoardCause EndingCause() const;
    StallReason Stall() const;
    std::optional<Clock::time_point> StallDue() const;

    BoardSessionObserver& observer_;
    const BoardSessionRules rules_;
    BootLoaderTransfer transfer_;

    // Of the current attempt.
    Phase phase_ = Phase::Idle;
    std::string port_;
    int64_t scriptBlocks_ = 0;
    BoardOutcome outcome_ = BoardOutcome::Failed;
    BoardCause cause_{};
    bool started_ = false;
    std::optional<Clock::time_point> greetedAt_;
    Clock::time_point now_{};  // of the event being handled
    uint64_t framesSeen_ = 0;
    Clock::time_point lastProgress_{};
    std::optional<Clock::time_point> firstPageDue_;
    Clock::time_point endDue_{};
};
