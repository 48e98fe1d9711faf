// SPDX-License-Identifier: MIT
#include "line/BoardSessionCore.h"

#include <algorithm>
#include <cassert>

#include "loader/Errors.h"
#include "loader/HexField.h"
#include "serial/VaErrors.h"

namespace {
using Clock = BoardSessionCore::Clock;

BoardCause Cause(BoardFault fault) {
    BoardCause cause;
    cause.fault = fault;
    return cause;
}

std::optional<Clock::time_point> Earlier(std::optional<Clock::time_point> a,
                                         std::optional<Clock::time_point> b) {
    if (!a) return b;
    if (!b) return a;
    return std::min(*a, *b);
}
}  // namespace

BoardSessionCore::BoardSessionCore(TransferPort& port, BoardSessionObserver& observer,
                                   BoardSessionRules rules)
    : observer_(observer), rules_(rules), transfer_(port, *this) {}

void BoardSessionCore::Reset() {
    transfer_.Reset();
}

void BoardSessionCore::Start(const std::vector<std::string>& script, int64_t scriptLineCount,
                             const std::string& portName, Clock::time_point now) {
    phase_ = Phase::Running;
    port_ = portName;
    scriptBlocks_ = BootLoaderTransfer::CountScriptBlocks(script);
    outcome_ = BoardOutcome::Failed;
    cause_ = {};
    started_ = false;
    greetedAt_.reset();
    firstPageDue_.reset();
    now_ = now;
    Guarded([&] { transfer_.Start(script, scriptLineCount, portName); },
            BoardFault::PortOpenFailed);
    if (!Live()) return;
    if (!transfer_.Running()) return End(BoardOutcome::Failed, Cause(BoardFault::NotStarted));
    framesSeen_ = transfer_.FramesSent();
    lastProgress_ = now;
    observer_.Waiting(port_);
    Advance(now);
}

void BoardSessionCore::Received(int32_t count, Clock::time_point now) {
    now_ = now;
    Guarded([&] { transfer_.Receive(count); });
    Advance(now);
}

void BoardSessionCore::Received(std::span<const uint8_t> bytes, Clock::time_point now) {
    now_ = now;
    Guarded([&] { transfer_.Receive(bytes); });
    Advance(now);
}

void BoardSessionCore::Written(Clock::time_point now) {
    // Success is reported only once the end command has reached the device's driver.
    if (phase_ != Phase::EndLeaving) return;
    phase_ = Phase::Ended;
    outcome_ = BoardOutcome::Done;
    cause_ = {};
    // Every block's checksum has come back right.
    observer_.Finished(transfer_.BlocksConfirmed(), now);
}

void BoardSessionCore::DeviceGone() {
    try {
        transfer_.DeviceGone();
    } catch (const std::exception& error) {
        FailWith(error, BoardFault::SerialError);
    }
}

void BoardSessionCore::Tick(Clock::time_point now) {
    now_ = now;
    Advance(now);
}

void BoardSessionCore::Stop() {
    if (Live()) {
        phase_ = Phase::Ended;
        outcome_ = BoardOutcome::Interrupted;
        cause_ = Cause(BoardFault::Stopped);
    }
    StopTransfer();
}

void BoardSessionCore::Failed(const std::exception& error) {
    if (dynamic_cast<const EVaCommDeviceGone*>(&error)) return DeviceGone();
    FailWith(error, BoardFault::SerialError);
}

std::optional<Clock::time_point> BoardSessionCore::Deadline() const {
    std::optional<Clock::time_point> due = StallDue();
    if (firstPageDue_ && transfer_.AwaitingFirstPageTime()) due = Earlier(due, firstPageDue_);
    if (phase_ == Phase::EndLeaving) due = Earlier(due, endDue_);
    return due;
}

BoardSessionResult BoardSessionCore::Result() const {
    BoardSessionResult result;
    result.outcome = outcome_;
    result.cause = cause_;
    result.port = port_;
    result.greeted = greetedAt_.has_value();
    result.started = started_;
    result.blocksSent = started_ ? transfer_.BlocksConfirmed() : 0;
    result.blocksTotal = scriptBlocks_;
    return result;
}

template <typename Step>
void BoardSessionCore::Guarded(Step&& step, BoardFault serialFault) {
    try {
        step();
    } catch (const EVaCommDeviceGone&) {
        // A read or a write of this step found the device gone: as the port's own report.
        DeviceGone();
    } catch (const std::exception& error) {
        FailWith(error, serialFault);
    }
}

void BoardSessionCore::Advance(Clock::time_point now) {
    if (!transfer_.AwaitingFirstPageTime()) {
        firstPageDue_.reset();
    } else if (!firstPageDue_) {
        // Counted from the event that brought the second greeting, which came before it.
        firstPageDue_ = now + BootLoaderTransfer::kFirstPageWait;
    } else if (now >= *firstPageDue_) {
        firstPageDue_.reset();
        Guarded([this] { transfer_.FirstPageTime(); });
    }
    if (phase_ == Phase::EndLeaving && now >= endDue_)
        return End(BoardOutcome::Failed, Cause(BoardFault::NoEndCommand));
    if (phase_ != Phase::Running) return;
    // A station waiting for its next board makes no progress, and needs none.
    if (transfer_.FramesSent() != framesSeen_ ||
        (rules_.waitForBoard && transfer_.LinkState() == TLinkState::lsNoGreeting)) {
        framesSeen_ = transfer_.FramesSent();
        lastProgress_ = now;
    }
    if (const auto due = StallDue(); due && now >= *due) {
        End(BoardOutcome::Stalled, {BoardFault::NoProgress, Stall()});
    }
}

std::optional<Clock::time_point> BoardSessionCore::StallDue() const {
    if (phase_ != Phase::Running || !rules_.stallTimeout) return std::nullopt;
    if (rules_.waitForBoard && transfer_.LinkState() == TLinkState::lsNoGreeting)
        return std::nullopt;
    return lastProgress_ + *rules_.stallTimeout;
}

void BoardSessionCore::Logged(const std::string& line) {
    observer_.Logged(line);
}

void BoardSessionCore::Happened(const TransferEvent& event) {
    switch (event.kind) {
        case TransferEventKind::GreetingAnswered:
            Greeted(event.linkState);
            break;
        case TransferEventKind::BlockConfirmed:
            // The last block is told once the end command has gone out.
            if (event.blocksConfirmed < event.blocksTotal)
                observer_.Confirmed(event.blocksConfirmed, now_);
            break;
        case TransferEventKind::Refused:
            observer_.Refused(event.message);
            break;
        case TransferEventKind::WrongChecksum:
            observer_.WrongChecksum(
                static_cast<uint32_t>(HexFieldToInt(transfer_.CurrentAddress())),
                event.expectedChecksum, event.receivedChecksum);
            break;
        case TransferEventKind::Completed:
            if (phase_ == Phase::Running) {
                phase_ = Phase::EndLeaving;
                endDue_ = now_ + kEndCommandLimit;
            }
            break;
        case TransferEventKind::LineFault:
        case TransferEventKind::DeviceGone:
            // The transfer is at rest already, its port closed.
            if (Live()) End(BoardOutcome::Failed, EndingCause());
            break;
        case TransferEventKind::FrameSent:
        case TransferEventKind::Stopped:
            break;
    }
    observer_.Stepped(event);
}

void BoardSessionCore::Greeted(TLinkState linkState) {
    if (linkState == TLinkState::lsGreetingAnswered && !greetedAt_) {
        greetedAt_ = now_;
        observer_.Greeted();
    }
    if (linkState == TLinkState::lsScriptUnderWay && !started_) {
        started_ = true;
        observer_.Started(transfer_.ScriptBlocks(), now_);
    }
}

void BoardSessionCore::FailWith(const std::exception& error, BoardFault serialFault) {
    Fail(error, CauseOfError(error, serialFault));
}

void BoardSessionCore::Fail(const std::exception& error, BoardCause cause) {
    observer_.Erred(error, cause);
    // Nothing goes on after a port that did not open, whatever the rules.
    if (Live() && (rules_.errors == SessionErrors::EndSession || !transfer_.Running()))
        End(BoardOutcome::Failed, std::move(cause));
}

void BoardSessionCore::End(BoardOutcome outcome, BoardCause cause) {
    assert(Live());
    assert(outcome != BoardOutcome::Failed || cause.fault != BoardFault::None);
    phase_ = Phase::Ended;
    outcome_ = outcome;
    cause_ = std::move(cause);
    if (transfer_.Running()) StopTransfer();
}

void BoardSessionCore::StopTransfer() {
    try {
        transfer_.Stop();
    } catch (const std::exception& error) {
        FailWith(error, BoardFault::SerialError);
    }
}

BoardCause BoardSessionCore::EndingCause() const {
    switch (transfer_.Ending()) {
        case TransferEnding::DeviceGone:
            return Cause(BoardFault::DeviceGone);
        case TransferEnding::EchoMismatch:
            // An adapter without the half-duplex loop gives the device's own bytes where the
            // first echo belongs: not a byte lost, but no echo ever.
            return Cause(transfer_.EchoHeard() ? BoardFault::EchoMismatch : BoardFault::NoEcho);
        default:
            return Cause(BoardFault::TransferStopped);
    }
}

StallReason BoardSessionCore::Stall() const {
    StallReason reason;
    reason.address = transfer_.CurrentAddress();
    reason.waited = *rules_.stallTimeout;
    if (transfer_.LinkState() == TLinkState::lsNoGreeting) {
        reason.waitedFor = StallWait::Greeting;
    } else if (transfer_.LinkState() == TLinkState::lsGreetingAnswered) {
        reason.waitedFor = StallWait::SecondGreeting;
    } else {
        switch (transfer_.TransferState()) {
            case TTransferState::tsAwaitingAcknowledge:
                reason.waitedFor = StallWait::Acknowledge;
                break;
            case TTransferState::tsCollectingEcho:
                reason.waitedFor =
                    transfer_.EchoCount() == 0 ? StallWait::Echo : StallWait::RestOfEcho;
                reason.echoCount = transfer_.EchoCount();
                reason.echoLength = transfer_.EchoLength();
                break;
            case TTransferState::tsAwaitingChecksum:
                reason.waitedFor = StallWait::Checksum;
                break;
            default:
                reason.waitedFor = StallWait::Answer;
                break;
        }
    }
    return reason;
}
