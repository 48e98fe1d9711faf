// SPDX-License-Identifier: MIT
#include "cli/FlashSession.h"

#include <cstdio>

#include "base/ScopeGuard.h"
#include "cli/InterruptGuard.h"
#include "cli/PortStop.h"
#include "line/BootLoaderLine.h"
#include "loader/Errors.h"

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
      report_(report),
      stop_(stop),
      loop_(std::make_shared<TVaEventLoop>()),
      comm_(loop_),
      port_(comm_),
      host_(options_.file, options_.port),
      transfer_(port_, host_),
      scriptBlocks_(BootLoaderTransfer::CountScriptBlocks(script.Memo2)) {
    host_.Lists().Memo2 = script.Memo2;
    host_.Lists().ScriptLineCount = script.ScriptLineCount;
    ConfigureBootLoaderLine(comm_);
    comm_.OnRxChar = [this](TVaCustomComm&, int count) {
        // Log lines and progress of the event are shown even when the step ends in an error.
        const ScopeGuard after([this] { AfterEvent(); });
        transfer_.VaComm1RxChar(count);
    };
    comm_.OnException = [this](const std::exception& e) {
        if (!failure_) failure_ = ErrorAbout(e);
    };
    comm_.OnDeviceGone = [this](TVaCustomComm&) { transfer_.DeviceGone(); };
    host_.OnMessage = [this](const std::string& text) { OnTransferMessage(text); };
    host_.OnFinished = [this](TransferEnding ending) { OnTransferFinished(ending); };
    transfer_.FormCreate();
    stop_.Add(*loop_);
}

FlashSession::~FlashSession() {
    stop_.Remove(*loop_);
}

BoardResult FlashSession::Attempt() {
    failure_.reset();
    finished_ = TransferEnding::Running;
    greeted_ = started_ = endSent_ = false;
    lastMessage_.clear();
    repeats_ = 0;

    BoardResult result;
    result.start = std::chrono::system_clock::now();
    const auto began = Clock::now();
    const Outcome outcome = Start() ? Drive() : Outcome::Failed;
    Stop();
    FlushRepeats();
    loop_->ResetQuit();
    Finish(outcome, result);
    if (greeted_) result.start = greetedAt_;
    result.end = std::chrono::system_clock::now();
    result.seconds =
        std::chrono::duration<double>(Clock::now() - (greeted_ ? greetedSince_ : began)).count();
    report_.Ended(result);
    return result;
}

bool FlashSession::Start() {
    host_.SetButtonChecked(true);
    try {
        transfer_.AbColBitBtn1Click();
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
        if (stop_.Stopped() || loop_->QuitRequested()) return Outcome::Interrupted;
        if (failure_) return Outcome::Failed;
        if (!transfer_.Running())
            return transfer_.Completed() && endSent_ ? Outcome::Completed : Outcome::Failed;
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

void FlashSession::DrainLog() {
    std::vector<std::string>& log = host_.Lists().Memo1;
    if (options_.log) {
        for (const std::string& line : log)
            report_.Line(line);
    }
    // Nothing reads the log back: keep memory flat over a long transfer.
    log.clear();
}

void FlashSession::AfterEvent() noexcept {
    DrainLog();

    const auto now = Clock::now();
    if (!greeted_ && transfer_.LinkState() != TLinkState::lsNoGreeting) {
        greeted_ = true;
        greetedAt_ = std::chrono::system_clock::now();
        greetedSince_ = now;
        report_.Greeted();
    }
    if (!started_ && transfer_.LinkState() == TLinkState::lsScriptUnderWay) {
        started_ = true;
        reportedBlocks_ = 0;
        report_.Started(transfer_.ScriptBlocks(), now);
    }
    // Most events only carry echo: the report hears of a block once its checksum has come back.
    if (started_ && transfer_.Running() && transfer_.BlocksConfirmed() != reportedBlocks_) {
        reportedBlocks_ = transfer_.BlocksConfirmed();
        report_.Update(reportedBlocks_, now);
    }
}

void FlashSession::OnTransferFinished(TransferEnding ending) {
    // The event that ended it is logged first.
    DrainLog();
    finished_ = ending;
    if (ending != TransferEnding::Completed) return;
    endSent_ = WaitForEndCommand();
    if (!endSent_) {
        if (!failure_) failure_ = SubjectError(options_.port, "the end command could not be sent");
        return;
    }
    // Every block's checksum has come back right.
    const auto now = Clock::now();
    report_.Update(transfer_.BlocksConfirmed(), now);
    report_.Finish(now);
    FlushRepeats();
}

void FlashSession::OnTransferMessage(const std::string& text) {
    // The event that brought the message is logged before it.
    DrainLog();
    // A fault is told in English with the error that ends the run.
    if (finished_ == TransferEnding::DeviceGone || finished_ == TransferEnding::EchoMismatch) {
        return;
    }
    if (finished_ == TransferEnding::Completed) {
        if (endSent_) report_.Line(text);
        return;
    }
    // The protocol repeats a message for every event while it waits (a device greeting again
    // after a wrong checksum): show it once until the transfer moves on.
    if (text == lastMessage_ && transfer_.FramesSent() == lastMessageFrames_) {
        ++repeats_;
        return;
    }
    FlushRepeats();
    lastMessage_ = text;
    lastMessageFrames_ = transfer_.FramesSent();
    report_.Line(text);
}

bool FlashSession::WaitForEndCommand() {
    // Success is reported only once the end command has left the transmit buffer.
    return comm_.WaitTransmitted(kEndCommandLimit);
}

void FlashSession::FlushRepeats() {
    if (repeats_ == 0) return;
    report_.Note("the message above came " + std::to_string(repeats_) + " more time" +
                 (repeats_ == 1 ? "" : "s"));
    repeats_ = 0;
}

void FlashSession::Stop() {
    if (!transfer_.Running()) return;
    host_.SetButtonChecked(false);
    try {
        transfer_.AbColBitBtn1Click();
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
