// SPDX-License-Identifier: MIT
#include "line/BoardSession.h"

#include <algorithm>
#include <optional>

#include "line/BootLoaderLine.h"

namespace {
using Clock = BoardSession::Clock;

// RunUntil's limit for a wait that ends at `due`, or for one without an end.
std::chrono::milliseconds Until(std::optional<Clock::time_point> due) {
    if (!due) return std::chrono::hours(24 * 365);
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*due - Clock::now());
    return std::max(left, std::chrono::milliseconds(0));
}

BoardSessionRules Rules(const BoardSessionOptions& options) {
    BoardSessionRules rules;
    rules.stallTimeout = options.timeout;
    rules.waitForBoard = options.waitForBoard;
    rules.errors = SessionErrors::EndSession;
    return rules;
}
}  // namespace

BoardSession::BoardSession(BoardSessionOptions options, const ConvertedUpdate& script,
                           BoardSessionObserver& observer, BoardStop& stop)
    : options_(std::move(options)),
      stop_(stop),
      loop_(std::make_shared<TVaEventLoop>(pwByLoop)),
      comm_(loop_),
      port_(comm_),
      script_(script),
      core_(port_, observer, Rules(options_)) {
    ConfigureBootLoaderLine(comm_);
    // The frame answering the device leaves from the handler itself, without the write thread's
    // hop; the driver takes a frame at once, as its queue holds many. Transmit-empty, which the
    // driver would then report, is of no use here.
    comm_.SetDirectWrite(true);
    comm_.SetMonitorEvents(TVaCommEvents{ceError, ceRxChar});
    comm_.OnRxChar = [this](TVaCustomComm&, int count) {
        core_.Received(count, Clock::now());
        TellWritten();
    };
    comm_.OnException = [this](const std::exception& e) { core_.Failed(e); };
    comm_.OnDeviceGone = [this](TVaCustomComm&) { core_.DeviceGone(); };
    stop_.Add(*loop_);
}

BoardSession::~BoardSession() {
    loop_->ProcessPending();
    stop_.Remove(*loop_);
}

BoardSessionResult BoardSession::Attempt() {
    const auto wallBegan = std::chrono::system_clock::now();
    const auto began = Clock::now();
    core_.Start(script_, options_.port, began);
    TellWritten();
    while (!core_.Ended()) {
        // A stop request comes before whatever else fell due meanwhile.
        if (stop_.Stopped() || loop_->QuitRequested()) {
            core_.Stop();
            break;
        }
        core_.Tick(Clock::now());
        TellWritten();
        if (core_.Ended()) break;
        // Back when the core's next deadline comes sooner than the wait's end; one that moves
        // later (a stall's, at every frame) is found at the wait's end, which costs one tick.
        const std::optional<Clock::time_point> due = core_.Deadline();
        const auto sooner = [&] {
            const std::optional<Clock::time_point> next = core_.Deadline();
            return next && (!due || *next < *due);
        };
        loop_->RunUntil([&] { return core_.Ended() || sooner(); }, Until(due));
    }
    loop_->ResetQuit();

    BoardSessionResult result = core_.Result();
    if (result.outcome == BoardOutcome::Interrupted) result.signal = stop_.Signal();
    // A board's time is counted from its greeting, not from the wait before.
    const auto since = core_.GreetedAt().value_or(began);
    result.start =
        wallBegan + std::chrono::duration_cast<std::chrono::system_clock::duration>(since - began);
    result.end = std::chrono::system_clock::now();
    result.seconds = std::chrono::duration<double>(Clock::now() - since).count();
    return result;
}

void BoardSession::TellWritten() {
    if (port_.Transmitted()) core_.Written(Clock::now());
}
