// SPDX-License-Identifier: MIT
#include "cli/FlashSession.h"

#include <cstdio>

#include "cli/InterruptGuard.h"
#include "cli/PortStop.h"
#include "line/BootLoaderLine.h"
#include "loader/Errors.h"
#include "loader/HexField.h"

namespace {
using Clock = std::chrono::steady_clock;

// The end command is three bytes; a line that cannot take them in this long has gone.
constexpr auto kEndCommandLimit = std::chrono::seconds(5);

const char* SignalWord(int signal) {
    if (signal == kSignalHangUp) return "hung up";
    return signal == kSignalTerminate ? "terminated" : "interrupted";
}

std::string Seconds(std::chrono::milliseconds duration) {
    char text[32];
    std::snprintf(text, sizeof text, "%g s", static_cast<double>(duration.count()) / 1000);
    return text;
}
}  // namespace

FlashSession::FlashSession(FlashOptions options, const UpdateLists& script, FlashReport& report,
                           PortStop& stop)
    : options_(std::move(options)),
      stop_(stop),
      loop_(std::make_shared<TVaEventLoop>(pwByLoop)),
      report_(*loop_, report),
      comm_(loop_),
      port_(comm_),
      script_(script),
      transfer_(port_, *this),
      scriptBlocks_(BootLoaderTransfer::CountScriptBlocks(script.Memo2)) {
    ConfigureBootLoaderLine(comm_);
    // The frame answering the device leaves from the handler itself, without the write thread's
    // hop; the driver takes a frame at once, as its queue holds many. Transmit-empty, which the
    // driver would then report, is of no use here.
    comm_.SetDirectWrite(true);
    comm_.SetMonitorEvents(TVaCommEvents{ceError, ceRxChar});
    transfer_.SetFirstPageWait(BootLoaderTransfer::FirstPageWait::Sleep);
    comm_.OnRxChar = [this](TVaCustomComm&, int count) { transfer_.Receive(count); };
    comm_.OnException = [this](const std::exception& e) {
        if (!failure_) failure_ = ErrorAbout(e);
    };
    comm_.OnDeviceGone = [this](TVaCustomComm&) { transfer_.DeviceGone(); };
    transfer_.Reset();
    stop_.Add(*loop_);
}

FlashSession::~FlashSession() {
    loop_->ProcessPending();
    stop_.Remove(*loop_);
}

BoardResult FlashSession::Attempt() {
    failure_.reset();
    greeted_ = started_ = endSent_ = false;

    BoardResult result;
    result.start = std::chrono::system_clock::now();
    const auto began = Clock::now();
    const Outcome outcome = Start() ? Drive() : Outcome::Failed;
    Stop();
    loop_->ResetQuit();
    Finish(outcome, result);
    if (greeted_) result.start = greetedAt_;
    result.end = std::chrono::system_clock::now();
    result.seconds =
        std::chrono::duration<double>(Clock::now() - (greeted_ ? greetedSince_ : began)).count();
    report_.Ended(result);
    // Everything told is passed on before the attempt returns.
    loop_->ProcessPending();
    return result;
}

bool FlashSession::Start() {
    try {
        transfer_.Start(script_, options_.port);
        if (!transfer_.Running()) throw SubjectError(options_.port, "the transfer did not start");
    } catch (const SubjectError& e) {
        failure_ = e;
        return false;
    } catch (const std::exception& e) {
        failure_ = ErrorAbout(e);
        return false;
    }
    report_.Waiting(options_.port);
    return true;
}

FlashSession::Outcome FlashSession::Drive() {
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
        if (left <= Clock::duration::zero()) return Outcome::Stalled;
        loop_->RunUntil(settled, std::chrono::ceil<std::chrono::milliseconds>(left));
        // A board whose end command has left is done, whatever signal comes after it.
        const bool done = !transfer_.Running() && transfer_.Completed() && endSent_;
        if (done && !failure_) return Outcome::Completed;
        if (stop_.Stopped() || loop_->QuitRequested()) return Outcome::Interrupted;
        if (failure_ || !transfer_.Running()) return Outcome::Failed;
        if (transfer_.FramesSent() != frames) {
            frames = transfer_.FramesSent();
            lastProgress = Clock::now();
        }
    }
}

void FlashSession::Finish(Outcome outcome, BoardResult& result) {
    result.greeted = greeted_;
    result.blocksSent = started_ ? transfer_.BlocksConfirmed() : 0;
    result.blocksTotal = scriptBlocks_;
    if (outcome == Outcome::Completed) {
        result.outcome = BoardOutcome::Done;
        return;
    }
    report_.Abandon();
    NoteWhereItStopped();
    switch (outcome) {
        case Outcome::Interrupted:
            result.outcome = BoardOutcome::Interrupted;
            result.message = SignalWord(stop_.Signal());
            report_.Note(result.message + "; the port is closed");
            return;
        case Outcome::Stalled:
            result.outcome = BoardOutcome::Stalled;
            result.message = "no progress: " + StallReason();
            report_.Note(result.message + "; the port is closed");
            return;
        default:
            break;
    }
    result.outcome = BoardOutcome::Failed;
    result.error = FailureError();
    result.message =
        result.error->Subject() == options_.port ? result.error->Message() : result.error->what();
}

SubjectError FlashSession::FailureError() const {
    if (failure_) return *failure_;
    switch (transfer_.Ending()) {
        case TransferEnding::DeviceGone:
            return SubjectError(options_.port,
                                "the device or its adapter went away (unplugged, switched off or "
                                "reset); the port is closed");
        case TransferEnding::EchoMismatch:
            return SubjectError(
                options_.port,
                "the echo did not match what was sent: a byte was lost or changed "
                "on the line (check the cable and the adapter); the port is closed");
        default:
            return SubjectError(options_.port, "the transfer stopped");
    }
}

SubjectError FlashSession::ErrorAbout(const std::exception& error) const {
    // The file's errors are about the file; everything else a transfer meets is the port's.
    const bool file = dynamic_cast<const EInOutError*>(&error) != nullptr ||
                      dynamic_cast<const EConvertError*>(&error) != nullptr;
    if (file) return SubjectError(options_.file, error.what());
    return PortError(options_.port, error);
}

void FlashSession::Logged(const std::string& line) {
    if (options_.log) report_.Line(line);
}

void FlashSession::Happened(const TransferEvent& event) {
    switch (event.kind) {
        case TransferEventKind::GreetingAnswered:
            Greeted(event.linkState);
            break;
        case TransferEventKind::BlockConfirmed:
            // The last block is told once the end command has gone out.
            if (event.blocksConfirmed < event.blocksTotal)
                report_.Update(event.blocksConfirmed, Clock::now());
            break;
        case TransferEventKind::Refused:
            report_.Line(TransferMessageText(event.message));
            break;
        case TransferEventKind::WrongChecksum:
            report_.Line(TransferMessageText(event.message));
            report_.WrongChecksum(static_cast<uint32_t>(HexFieldToInt(transfer_.CurrentAddress())));
            break;
        case TransferEventKind::Completed:
            TransferCompleted(event.blocksConfirmed);
            break;
        default:
            // A fault is told in English with the error that ends the run; frames and stops
            // show in the progress of confirmed blocks.
            break;
    }
}

void FlashSession::Greeted(TLinkState linkState) {
    const auto now = Clock::now();
    if (linkState == TLinkState::lsGreetingAnswered && !greeted_) {
        greeted_ = true;
        greetedAt_ = std::chrono::system_clock::now();
        greetedSince_ = now;
        report_.Greeted();
    }
    if (linkState == TLinkState::lsScriptUnderWay && !started_) {
        started_ = true;
        report_.Started(transfer_.ScriptBlocks(), now);
    }
}

void FlashSession::TransferCompleted(int64_t blocksConfirmed) {
    endSent_ = WaitForEndCommand();
    if (!endSent_) {
        if (!failure_) failure_ = SubjectError(options_.port, "the end command could not be sent");
        return;
    }
    // Every block's checksum has come back right.
    const auto now = Clock::now();
    report_.Update(blocksConfirmed, now);
    report_.Finish(now);
    report_.Line(TransferMessageText(TransferMessage::Done));
}

bool FlashSession::WaitForEndCommand() {
    // Success is reported only once the end command has been handed to the driver: written
    // directly, it has when WriteBytes returns; queued, once the write thread has.
    return comm_.WaitTransmitted(kEndCommandLimit);
}

void FlashSession::Stop() {
    if (!transfer_.Running()) return;
    try {
        transfer_.Stop();
    } catch (const std::exception& e) {
        if (!failure_) failure_ = ErrorAbout(e);
    }
}

void FlashSession::NoteWhereItStopped() {
    if (!started_) return;
    report_.Note("stopped after " + std::to_string(transfer_.BlocksConfirmed()) + " of " +
                 std::to_string(transfer_.ScriptBlocks()) + " blocks");
}

std::string FlashSession::StallReason() const {
    const std::string within = " within " + Seconds(options_.timeout);
    const std::string address = transfer_.CurrentAddress();
    const std::string at = address.empty() ? "" : " at " + address;
    if (transfer_.LinkState() == TLinkState::lsNoGreeting)
        return "no greeting from the boot loader on " + options_.port + within +
               " (is the on-board computer connected and in its boot loader?)";
    if (transfer_.LinkState() == TLinkState::lsGreetingAnswered)
        return "the boot loader did not send its second greeting (0xAA)" + within;
    switch (transfer_.TransferState()) {
        case TTransferState::tsAwaitingAcknowledge:
            return "no acknowledgement (0xAA) of the page command" + at + within;
        case TTransferState::tsCollectingEcho:
            if (transfer_.EchoCount() == 0) return "no echo of the block" + at + within;
            return "the echo of the block" + at + " came back incomplete (" +
                   std::to_string(transfer_.EchoCount()) + " of " +
                   std::to_string(transfer_.EchoLength()) +
                   " bytes; bytes lost on the line); nothing more" + within;
        case TTransferState::tsAwaitingChecksum:
            return "no correct checksum for the block" + at + within;
        default:
            return "the device stopped answering" + within;
    }
}
