// SPDX-License-Identifier: MIT
#include "line/BoardSession.h"

#include <cassert>

#include "line/BootLoaderLine.h"
#include "loader/HexField.h"
#include "serial/VaClasses.h"

namespace {
using Clock = std::chrono::steady_clock;

BoardCause Cause(BoardFault fault) {
    BoardCause cause;
    cause.fault = fault;
    return cause;
}
}  // namespace

BoardSession::BoardSession(BoardSessionOptions options, const ConvertedUpdate& script,
                           BoardSessionObserver& observer, BoardStop& stop)
    : options_(std::move(options)),
      observer_(observer),
      stop_(stop),
      loop_(std::make_shared<TVaEventLoop>(pwByLoop)),
      comm_(loop_),
      port_(comm_),
      script_(script),
      transfer_(port_, *this),
      scriptBlocks_(BootLoaderTransfer::CountScriptBlocks(script.transferScript)) {
    ConfigureBootLoaderLine(comm_);
    // The frame answering the device leaves from the handler itself, without the write thread's
    // hop; the driver takes a frame at once, as its queue holds many. Transmit-empty, which the
    // driver would then report, is of no use here.
    comm_.SetDirectWrite(true);
    comm_.SetMonitorEvents(TVaCommEvents{ceError, ceRxChar});
    transfer_.SetFirstPageWait(BootLoaderTransfer::FirstPageWait::Sleep);
    comm_.OnRxChar = [this](TVaCustomComm&, int count) { transfer_.Receive(count); };
    comm_.OnException = [this](const std::exception& e) { FailWith(e, BoardFault::SerialError); };
    comm_.OnDeviceGone = [this](TVaCustomComm&) { transfer_.DeviceGone(); };
    transfer_.Reset();
    stop_.Add(*loop_);
}

BoardSession::~BoardSession() {
    loop_->ProcessPending();
    stop_.Remove(*loop_);
}

BoardSessionResult BoardSession::Attempt() {
    failure_.reset();
    greeted_ = started_ = endSent_ = false;

    BoardSessionResult result;
    result.port = options_.port;
    result.start = std::chrono::system_clock::now();
    const auto began = Clock::now();
    const Ending ending = Start() ? Drive() : Ending::Failed;
    Stop();
    loop_->ResetQuit();
    Finish(ending, result);
    if (greeted_) result.start = greetedAt_;
    result.end = std::chrono::system_clock::now();
    result.seconds =
        std::chrono::duration<double>(Clock::now() - (greeted_ ? greetedSince_ : began)).count();
    return result;
}

bool BoardSession::Start() {
    try {
        transfer_.Start(script_, options_.port);
    } catch (const std::exception& e) {
        FailWith(e, BoardFault::PortOpenFailed);
        return false;
    }
    if (!transfer_.Running()) {
        Fail(Cause(BoardFault::NotStarted));
        return false;
    }
    observer_.Waiting(options_.port);
    return true;
}

BoardSession::Ending BoardSession::Drive() {
    uint64_t frames = transfer_.FramesSent();
    auto lastProgress = Clock::now();
    const auto settled = [&] {
        return failure_ || !transfer_.Running() || transfer_.FramesSent() != frames;
    };
    for (;;) {
        // A station waits for its next board as long as it takes.
        if (options_.waitForBoard && transfer_.LinkState() == TLinkState::lsNoGreeting)
            lastProgress = Clock::now();
        const auto left = lastProgress + options_.timeout - Clock::now();
        if (left <= Clock::duration::zero()) return Ending::Stalled;
        loop_->RunUntil(settled, std::chrono::ceil<std::chrono::milliseconds>(left));
        // A board whose end command has left is done, whatever signal comes after it.
        const bool done = !transfer_.Running() && transfer_.Completed() && endSent_;
        if (done && !failure_) return Ending::Completed;
        if (stop_.Stopped() || loop_->QuitRequested()) return Ending::Interrupted;
        if (failure_ || !transfer_.Running()) return Ending::Failed;
        if (transfer_.FramesSent() != frames) {
            frames = transfer_.FramesSent();
            lastProgress = Clock::now();
        }
    }
}

void BoardSession::Finish(Ending ending, BoardSessionResult& result) {
    result.greeted = greeted_;
    result.started = started_;
    result.blocksSent = started_ ? transfer_.BlocksConfirmed() : 0;
    result.blocksTotal = scriptBlocks_;
    switch (ending) {
        case Ending::Completed:
            result.outcome = BoardOutcome::Done;
            return;
        case Ending::Interrupted:
            result.outcome = BoardOutcome::Interrupted;
            result.cause.fault = BoardFault::Stopped;
            result.signal = stop_.Signal();
            return;
        case Ending::Stalled:
            result.outcome = BoardOutcome::Stalled;
            result.cause = {BoardFault::NoProgress, Stall()};
            return;
        case Ending::Failed:
            break;
    }
    result.outcome = BoardOutcome::Failed;
    result.cause = failure_ ? *failure_ : EndingCause();
    assert(result.cause.fault != BoardFault::None);
}

BoardCause BoardSession::EndingCause() const {
    switch (transfer_.Ending()) {
        case TransferEnding::DeviceGone:
            return Cause(BoardFault::DeviceGone);
        case TransferEnding::EchoMismatch:
            return Cause(BoardFault::EchoMismatch);
        default:
            return Cause(BoardFault::TransferStopped);
    }
}

void BoardSession::Fail(BoardCause cause) {
    if (!failure_) failure_ = std::move(cause);
}

void BoardSession::FailWith(const std::exception& error, BoardFault serialFault) {
    Fail(CauseOfError(error, serialFault));
}

void BoardSession::Logged(const std::string& line) {
    observer_.Logged(line);
}

void BoardSession::Happened(const TransferEvent& event) {
    switch (event.kind) {
        case TransferEventKind::GreetingAnswered:
            Greeted(event.linkState);
            break;
        case TransferEventKind::BlockConfirmed:
            // The last block is told once the end command has gone out.
            if (event.blocksConfirmed < event.blocksTotal)
                observer_.Confirmed(event.blocksConfirmed, Clock::now());
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
            TransferCompleted(event.blocksConfirmed);
            break;
        default:
            // Faults end the attempt and come back in its result; frames and stops show in the
            // progress of confirmed blocks.
            break;
    }
}

void BoardSession::Greeted(TLinkState linkState) {
    const auto now = Clock::now();
    if (linkState == TLinkState::lsGreetingAnswered && !greeted_) {
        greeted_ = true;
        greetedAt_ = std::chrono::system_clock::now();
        greetedSince_ = now;
        observer_.Greeted();
    }
    if (linkState == TLinkState::lsScriptUnderWay && !started_) {
        started_ = true;
        observer_.Started(transfer_.ScriptBlocks(), now);
    }
}

void BoardSession::TransferCompleted(int64_t blocksConfirmed) {
    // Success is reported only once the end command has been handed to the driver: written
    // directly, it has when WriteBytes returns.
    endSent_ = comm_.WaitTransmitted(kEndCommandLimit);
    if (!endSent_) return Fail(Cause(BoardFault::NoEndCommand));
    // Every block's checksum has come back right.
    observer_.Finished(blocksConfirmed, Clock::now());
}

void BoardSession::Stop() {
    if (!transfer_.Running()) return;
    try {
        transfer_.Stop();
    } catch (const std::exception& e) {
        FailWith(e, BoardFault::SerialError);
    }
}

StallReason BoardSession::Stall() const {
    StallReason reason;
    reason.address = transfer_.CurrentAddress();
    reason.waited = options_.timeout;
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
