// SPDX-License-Identifier: MIT
#include "cli/FlashSession.h"

#include "base/Translation.h"
#include "cli/InterruptGuard.h"
#include "cli/PortStop.h"
#include "cli/SessionTexts.h"
#include "cli/TevrFlash.h"
#include "words/Words.h"

namespace {
BoardSessionOptions SessionOptions(const FlashOptions& options) {
    BoardSessionOptions session;
    session.port = options.port;
    session.timeout = options.timeout;
    session.waitForBoard = options.waitForBoard;
    return session;
}
}  // namespace

int SignalExit(int signal) {
    if (signal == kSignalHangUp) return kExitHungUp;
    return signal == kSignalTerminate ? kExitTerminated : kExitInterrupted;
}

FlashSession::FlashSession(FlashOptions options, const ConvertedUpdate& script, FlashReport& report,
                           PortStop& stop)
    : options_(std::move(options)),
      session_(SessionOptions(options_), script, *this, stop),
      report_(session_.Loop(), report) {}

FlashSession::~FlashSession() {
    session_.Loop().ProcessPending();
}

BoardResult FlashSession::Attempt() {
    BoardResult result{session_.Attempt(), {}, {}};
    if (result.outcome != BoardOutcome::Done) {
        report_.Abandon();
        if (result.started)
            report_.Note(
                Fill(TrN("stopped after %1 of %2 block", "stopped after %1 of %2 blocks",
                         static_cast<uint64_t>(result.blocksTotal)),
                     {std::to_string(result.blocksSent), std::to_string(result.blocksTotal)}));
    }
    result.message =
        ResultMessage(result.outcome, result.cause, result.signal, options_.port, options_.file);
    if (result.outcome == BoardOutcome::Failed)
        result.error = FailureError(result.cause, options_.port, options_.file);
    else if (result.outcome != BoardOutcome::Done)
        report_.Note(Fill(Tr("%1; the port is closed"), {result.message}));
    report_.Ended(result);
    // Everything told is passed on before the attempt returns.
    session_.Loop().ProcessPending();
    return result;
}

void FlashSession::Waiting(const std::string& port) {
    report_.Waiting(port);
}

void FlashSession::Greeted() {
    report_.Greeted();
}

void FlashSession::Started(int64_t blocksTotal, Clock::time_point at) {
    report_.Started(blocksTotal, at);
}

void FlashSession::Confirmed(int64_t blocksConfirmed, Clock::time_point at) {
    report_.Update(blocksConfirmed, at);
}

void FlashSession::Finished(int64_t blocksConfirmed, Clock::time_point at) {
    report_.Update(blocksConfirmed, at);
    report_.Finish(at);
    report_.Line(TransferMessageText(TransferMessage::Done));
}

void FlashSession::WrongChecksum(uint32_t blockAddress, uint8_t expected, uint8_t received) {
    report_.Line(TransferMessageText(TransferMessage::BadChecksum));
    report_.WrongChecksum(blockAddress, expected, received);
}

void FlashSession::Refused(TransferMessage message) {
    report_.Line(TransferMessageText(message));
}

void FlashSession::Logged(const std::string& line) {
    if (options_.log) report_.Line(line);
}
