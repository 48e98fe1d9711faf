// SPDX-License-Identifier: MIT
#include "loader/BootLoaderTransfer.h"

#include <algorithm>
#include <cassert>
#include <cstdint>

#include "loader/Errors.h"
#include "loader/HexField.h"
#include "loader/TransferFrame.h"

namespace {
using enum TLinkState;
using enum TTransferState;

const std::vector<uint8_t> kGreetingAnswer{0x55, 0x33, 0xCC};
const std::vector<uint8_t> kFirstPageCommand{0x11, 0x00, 0x00};
const std::vector<uint8_t> kEndCommand{0x99, 0x00, 0x00};

// A block shorter than this is filled up with 0xFF.
constexpr int32_t kBlockSize = 128;

// Bytes asked of the port at a time: a receive event of any size is read whole, but a count
// that promises more than is waiting never makes us allocate for it up front.
constexpr size_t kReadChunk = 4096;

constexpr const char* kLogPrefix = " - > ";
}  // namespace

BootLoaderTransfer::BootLoaderTransfer(TransferPort& port, TransferObserver& observer)
    : port_(port), observer_(observer) {}

void BootLoaderTransfer::Reset() {
    assert(thread_.IsCurrent());
    linkState_ = lsNoGreeting;
    echoCount_ = 0;
    DropFirstPageWait();
}

std::string BootLoaderTransfer::CurrentAddress() const {
    return std::string(TextColumns(currentLine_, 8, 4));
}

void BootLoaderTransfer::Start(const std::vector<std::string>& script, int64_t scriptLineCount,
                               const std::string& portName) {
    assert(thread_.IsCurrent());
    // Without a converted script the device would be greeted and then fed empty lines.
    if (script.empty()) {
        Tell(TransferEventKind::Refused, TransferMessage::NoScript);
        return;
    }
    port_.SetDeviceName(portName);
    port_.Open();
    // Running from here on: whatever fails next leaves the port open and its events handled.
    running_ = true;
    completed_ = false;
    ending_ = TransferEnding::Running;
    script_ = script;
    scriptLineCount_ = scriptLineCount;
    scriptBlocks_ = CountScriptBlocks(script_);
    blocksConfirmed_ = 0;
    port_.SetDtr(false);
    linkState_ = lsNoGreeting;
    echoCount_ = 0;
    // A transfer switched off while a block was under way left the state at 20 or 21; the next
    // greeting must not be collected as echo or compared as a checksum.
    transferState_ = tsNothingSent;
    echoPending_ = 0;
    sentFrame_.clear();
    echoMatched_ = 0;
    echoHeard_ = false;
    DropFirstPageWait();
}

void BootLoaderTransfer::Stop() {
    assert(thread_.IsCurrent());
    // A page command still waiting for its time must never follow a switch-off.
    DropFirstPageWait();
    port_.Close();
    if (running_) ending_ = TransferEnding::SwitchedOff;
    running_ = false;
    // A switch-off, also when nothing ran (the port failed to open, or a completion came first).
    TransferEvent event = Event(TransferEventKind::Stopped);
    event.ending = TransferEnding::SwitchedOff;
    observer_.Happened(event);
}

void BootLoaderTransfer::Receive(int32_t count) {
    assert(thread_.IsCurrent());
    if (count <= 0) return;
    const std::vector<uint8_t> bytes = ReadEvent(count);
    Receive(std::span<const uint8_t>(bytes));
}

void BootLoaderTransfer::Receive(std::span<const uint8_t> rest) {
    assert(thread_.IsCurrent());
    if (awaitingFirstPage_) {
        heldBack_.insert(heldBack_.end(), rest.begin(), rest.end());
        return;
    }
    // The echo of the frame sent last comes first; whatever follows it in the same event is the
    // device's answer and is handled as if it had come in an event of its own.
    while (!rest.empty()) {
        const size_t echo = EchoAhead(rest.size());
        if (echo == 0) {
            HandleEvent(rest);
            break;
        }
        if (!HandleEcho(rest.first(echo))) return;
        rest = rest.subspan(echo);
    }
}

std::vector<uint8_t> BootLoaderTransfer::ReadEvent(int32_t count) {
    const size_t wanted = static_cast<size_t>(count);
    std::vector<uint8_t> bytes;
    while (bytes.size() < wanted) {
        const size_t chunk = std::min(wanted - bytes.size(), kReadChunk);
        const size_t before = bytes.size();
        bytes.resize(before + chunk);
        const int32_t got = port_.ReadBytes(bytes.data() + before, static_cast<int32_t>(chunk));
        const size_t taken = static_cast<size_t>(std::clamp<int32_t>(got, 0, int32_t(chunk)));
        // Only the bytes actually read belong to the event.
        bytes.resize(before + taken);
        if (taken < chunk) break;
    }
    return bytes;
}

size_t BootLoaderTransfer::EchoAhead(size_t available) const {
    if (transferState_ == tsCollectingEcho) {
        // The count wraps at 256 like the 8-bit counter it stands for, so an echo that ended
        // without the block command byte keeps collecting until the count matches again.
        size_t missing = static_cast<uint8_t>(echoLength_ - echoCount_);
        if (missing == 0) missing = 256;
        return std::min(available, missing);
    }
    return std::min(available, echoPending_);
}

bool BootLoaderTransfer::HandleEcho(std::span<const uint8_t> bytes) {
    const std::string hex = HexText(bytes.data(), bytes.size());
    const bool collecting = transferState_ == tsCollectingEcho;
    const size_t matched = MatchEcho(bytes);
    if (matched == SIZE_MAX) {
        // A byte lost or changed on the line: what follows can no longer be told from the
        // device's answers, so the transfer ends here, with what came logged.
        echoText_ = collecting ? echoText_ + hex : hex;
        Log();
        EndWithFault(TransferEventKind::LineFault, TransferEnding::EchoMismatch,
                     TransferMessage::EchoMismatch);
        return false;
    }
    if (!collecting) {
        // Echo of a greeting answer or a page command: logged event by event, causes nothing.
        echoPending_ -= matched;
        echoText_ = hex;
        Log();
        return true;
    }
    echoCount_ = static_cast<uint8_t>(echoCount_ + bytes.size());
    echoText_ += hex;
    if (echoCount_ != echoLength_) return true;
    Log();
    if (TextColumns(echoText_, 2, 2) == "22") transferState_ = tsAwaitingChecksum;
    return true;
}

size_t BootLoaderTransfer::MatchEcho(std::span<const uint8_t> bytes) {
    size_t matched = 0;
    for (const uint8_t byte : bytes) {
        // The device greets every few milliseconds until it hears the answer, so a greeting may
        // still come between the answer's first echo byte and the rest.
        if (echoMatched_ == 1 && byte == kGreeting && sentFrame_ == kGreetingAnswer) continue;
        if (echoMatched_ >= sentFrame_.size() || byte != sentFrame_[echoMatched_]) return SIZE_MAX;
        ++echoMatched_;
        ++matched;
        echoHeard_ = true;
    }
    return matched;
}

void BootLoaderTransfer::HandleEvent(std::span<const uint8_t> bytes) {
    echoText_ = HexText(bytes.data(), bytes.size());
    Log();
    // Only the first byte of an event is looked at; the rest is logged and otherwise ignored.
    const uint8_t first = bytes.front();
    if (transferState_ == tsAwaitingChecksum) {
        if (first != expectedChecksum_) {
            // Once per block: the device's later bytes (greetings, mostly) would otherwise put
            // the message up again and again, and the start button out of reach.
            if (!checksumReported_) {
                checksumReported_ = true;
                TransferEvent event =
                    Event(TransferEventKind::WrongChecksum, TransferMessage::BadChecksum);
                event.expectedChecksum = expectedChecksum_;
                event.receivedChecksum = first;
                observer_.Happened(event);
            }
        } else {
            ++blocksConfirmed_;
            Tell(TransferEventKind::BlockConfirmed);
            if (scriptIndex_ < scriptLineCount_) {
                SendScriptLine(true);
            } else {
                Complete();
            }
        }
        return;
    }
    if (first == kGreeting && linkState_ == lsNoGreeting) {
        linkState_ = lsGreetingAnswered;
        Tell(TransferEventKind::GreetingAnswered);
        echoPending_ = kGreetingAnswer.size();
        SendFrame(kGreetingAnswer);
    } else if (first == kAcknowledge && linkState_ == lsGreetingAnswered) {
        linkState_ = lsScriptUnderWay;
        transferState_ = tsAwaitingAcknowledge;
        scriptIndex_ = 1;
        Tell(TransferEventKind::GreetingAnswered);
        awaitingFirstPage_ = true;
    } else if (first == kAcknowledge && linkState_ == lsScriptUnderWay &&
               transferState_ == tsAwaitingAcknowledge) {
        // After a page command the next line is always a block line.
        SendScriptLine(false);
    }
}

void BootLoaderTransfer::SendScriptLine(bool afterChecksum) {
    currentLine_ = (scriptIndex_ >= 0 && static_cast<uint64_t>(scriptIndex_) < script_.size())
                       ? script_[static_cast<size_t>(scriptIndex_)]
                       : std::string();
    const std::string_view kind = TextColumns(currentLine_, 5, 2);
    const bool page = afterChecksum && kind == "01";
    const bool block = !afterChecksum || kind == "02";

    std::string frameText;
    if (page) {
        frameText = "11" + CurrentAddress();
    } else if (block) {
        int32_t count = HexFieldToInt(TextColumns(currentLine_, 13, 2));
        if (count < kBlockSize) {
            for (int32_t i = count; i < kBlockSize; ++i)
                currentLine_ += "FF";
            count = kBlockSize;
        }
        frameText = "22" + CurrentAddress() +
                    std::string(TextColumns(currentLine_, 16, 2 * static_cast<size_t>(count)));
    }
    // The line's frame length is counted in 8 bits: a longer frame is refused before anything
    // changes, rather than sent cut short with a wrong length.
    const size_t length = FrameLength(frameText);
    if (length > kMaxFrameLength) {
        throw EConvertError({.fault = ConversionFault::ScriptLineTooLong,
                             .line = scriptIndex_,
                             .limit = static_cast<uint32_t>(kMaxFrameLength)});
    }

    if (page) transferState_ = tsAwaitingAcknowledge;
    if (block) transferState_ = tsCollectingEcho;
    // Told before the text is read into bytes: a bad pair stops the step with the gauge moved.
    Tell(TransferEventKind::FrameSent);

    const std::vector<uint8_t> frame = FrameFromText(frameText);
    expectedChecksum_ = FrameChecksum(frame);
    echoLength_ = static_cast<uint8_t>(frame.size());
    ++scriptIndex_;
    echoCount_ = 0;
    echoText_.clear();
    // A block's echo is counted in EchoCount; a page command's like the greeting answer's.
    echoPending_ = page ? frame.size() : 0;
    checksumReported_ = false;
    SendFrame(frame);
}

void BootLoaderTransfer::SendFrame(const std::vector<uint8_t>& frame) {
    sentFrame_ = frame;
    echoMatched_ = 0;
    port_.WriteBytes(frame.data(), static_cast<int32_t>(frame.size()));
    ++framesSent_;
}

void BootLoaderTransfer::FirstPageTime() {
    assert(thread_.IsCurrent());
    if (!awaitingFirstPage_) return;
    awaitingFirstPage_ = false;
    const std::vector<uint8_t> held = std::move(heldBack_);
    heldBack_.clear();
    echoPending_ = kFirstPageCommand.size();
    SendFrame(kFirstPageCommand);
    if (!held.empty()) Receive(std::span<const uint8_t>(held));
}

void BootLoaderTransfer::DropFirstPageWait() {
    awaitingFirstPage_ = false;
    heldBack_.clear();
}

void BootLoaderTransfer::Complete() {
    SendFrame(kEndCommand);
    completed_ = true;
    running_ = false;
    ending_ = TransferEnding::Completed;
    echoPending_ = 0;
    linkState_ = lsNoGreeting;
    transferState_ = tsAwaitingAcknowledge;
    // Told with the port still open, while the end command may still be on its way; the port
    // closes once the front end has told the user.
    Tell(TransferEventKind::Completed, TransferMessage::Done);
    port_.Close();
    Tell(TransferEventKind::Stopped);
}

void BootLoaderTransfer::DeviceGone() {
    assert(thread_.IsCurrent());
    if (running_) {
        EndWithFault(TransferEventKind::DeviceGone, TransferEnding::DeviceGone,
                     TransferMessage::DeviceGone);
    }
}

void BootLoaderTransfer::EndWithFault(TransferEventKind kind, TransferEnding ending,
                                      TransferMessage message) {
    // At rest first, as a switch-off leaves it, so that the message is all that stands between
    // the user and a new start.
    DropFirstPageWait();
    port_.Close();
    running_ = false;
    linkState_ = lsNoGreeting;
    echoPending_ = 0;
    ending_ = ending;
    Tell(kind, message);
}

TransferEvent BootLoaderTransfer::Event(TransferEventKind kind, TransferMessage message) const {
    TransferEvent event;
    event.kind = kind;
    event.message = message;
    event.ending = ending_;
    event.linkState = linkState_;
    event.blocksConfirmed = blocksConfirmed_;
    event.blocksTotal = scriptBlocks_;
    return event;
}

void BootLoaderTransfer::Tell(TransferEventKind kind, TransferMessage message) {
    observer_.Happened(Event(kind, message));
}

void BootLoaderTransfer::Log() {
    observer_.Logged(kLogPrefix + echoText_);
}

int64_t BootLoaderTransfer::CountScriptBlocks(const std::vector<std::string>& script) {
    if (script.empty()) return 0;
    return std::count_if(script.begin() + 1, script.end(),
                         [](const std::string& line) { return TextColumns(line, 5, 2) == "02"; });
}
