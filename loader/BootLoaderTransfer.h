// SPDX-License-Identifier: MIT
#pragma once
// The transfer of a converted script into the on-board computer through its boot loader, as a
// job that knows nothing of the front end that runs it: started with the script and the port's
// name, stopped, handed every receive event, told when the device went away and when the wait
// before the first page command is over, and telling what happens through its TransferObserver.
// Every call runs on the thread that owns the port, one at a time; errors propagate to the caller
// (the window shows them, the command line prints them).
#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/OwningThread.h"
#include "loader/ConvertedUpdate.h"
#include "loader/TransferObserver.h"
#include "loader/TransferPort.h"
#include "loader/TransferState.h"

class BootLoaderTransfer {
public:
    // Bytes the device sends besides the echo.
    static constexpr uint8_t kGreeting = 0x55;
    static constexpr uint8_t kAcknowledge = 0xAA;
    // The 8-bit frame length of the line: longer script lines are refused.
    static constexpr size_t kMaxFrameLength = 255;

    BootLoaderTransfer(TransferPort& port, TransferObserver& observer);

    // The boot loader needs at least this long between its second greeting and the first page
    // command. The transfer neither sleeps nor reads a clock: after the second greeting it waits
    // for its driver to say that the time has come (AwaitingFirstPageTime, FirstPageTime), and
    // keeps whatever is received meanwhile for one event right after the command, as the input
    // queue of a thread that had waited would have kept it.
    static constexpr std::chrono::milliseconds kFirstPageWait{21};

    // The link state and counters as a new window has them.
    void Reset();
    // Opens the port `portName` and waits for the boot loader's greeting, to send `script` (its
    // end at line `scriptLineCount`), which the transfer keeps a copy of. Without a script
    // nothing opens (Refused). Throws the port's error when it does not open.
    void Start(const std::vector<std::string>& script, int64_t scriptLineCount,
               const std::string& portName);
    // The same of a converted update file's script.
    void Start(const ConvertedUpdate& update, const std::string& portName) {
        Start(update.transferScript, update.ScriptLineCount, portName);
    }
    // Closes the port (the user switched the transfer off); the protocol variables stay.
    void Stop();
    // One receive step: reads the `count` bytes waiting at the port with ReadBytes.
    void Receive(int32_t count);
    // One receive step with bytes already read from the port.
    void Receive(std::span<const uint8_t> bytes);
    // Whether the first page command waits for kFirstPageWait to pass since the receive step
    // that took the second greeting.
    bool AwaitingFirstPageTime() const { return awaitingFirstPage_; }
    // The wait before the first page command is over: the command goes out, then what came
    // meanwhile is handled. Nothing when no such wait is on.
    void FirstPageTime();
    // The port reported that the device or its adapter went away: a running transfer ends at
    // rest, the port closed.
    void DeviceGone();

    // The protocol variables, read-only, for progress displays and tests.
    TLinkState LinkState() const { return linkState_; }
    TTransferState TransferState() const { return transferState_; }
    int64_t ScriptIndex() const { return scriptIndex_; }
    uint8_t EchoLength() const { return echoLength_; }
    uint8_t EchoCount() const { return echoCount_; }
    uint8_t ExpectedChecksum() const { return expectedChecksum_; }
    const std::string& CurrentLine() const { return currentLine_; }
    // The address field of CurrentLine as the script writes it (four hex digits); empty before
    // the first command.
    std::string CurrentAddress() const;
    // Echo bytes of the last greeting answer or page command not yet received.
    size_t EchoPending() const { return echoPending_; }
    // Whether any byte sent since the start came back as its echo.
    bool EchoHeard() const { return echoHeard_; }

    // True from a start that opened the port until completion, a fault or a stop.
    bool Running() const { return running_; }
    // True once the end command of the latest transfer has been handed to the port.
    bool Completed() const { return completed_; }
    TransferEnding Ending() const { return ending_; }
    // Block lines of the script the latest transfer started with, and how many of them the
    // device has confirmed with a correct checksum so far.
    int64_t ScriptBlocks() const { return scriptBlocks_; }
    // Block lines of a converted script (its transfer script), known before any port opens; its
    // first line, the first page command, is sent as a fixed frame and never counted.
    static int64_t CountScriptBlocks(const std::vector<std::string>& script);
    int64_t BlocksConfirmed() const { return blocksConfirmed_; }
    // Frames handed to the port since the transfer was made (greeting answers and end commands
    // included); a front end that watches for a stalled transfer compares it over time.
    uint64_t FramesSent() const { return framesSent_; }

private:
    std::vector<uint8_t> ReadEvent(int32_t count);
    size_t EchoAhead(size_t available) const;
    bool HandleEcho(std::span<const uint8_t> bytes);
    size_t MatchEcho(std::span<const uint8_t> bytes);
    void HandleEvent(std::span<const uint8_t> bytes);
    void SendScriptLine(bool afterChecksum);
    void SendFrame(const std::vector<uint8_t>& frame);
    void DropFirstPageWait();
    void Complete();
    void EndWithFault(TransferEventKind kind, TransferEnding ending, TransferMessage message);
    TransferEvent Event(TransferEventKind kind,
                        TransferMessage message = TransferMessage::None) const;
    void Tell(TransferEventKind kind, TransferMessage message = TransferMessage::None);
    void Log();

    TransferPort& port_;
    TransferObserver& observer_;
    // Made on the thread that owns the port; every call comes from it.
    const OwningThread thread_;

    std::vector<std::string> script_;  // the transfer script of the start
    int64_t scriptLineCount_ = 0;      // ScriptLineCount of the start

    TLinkState linkState_ = TLinkState::lsNoGreeting;
    TTransferState transferState_ = TTransferState::tsNothingSent;
    int64_t scriptIndex_ = 0;
    uint8_t echoLength_ = 0;
    uint8_t echoCount_ = 0;
    uint8_t expectedChecksum_ = 0;
    std::string echoText_;
    std::string currentLine_;
    size_t echoPending_ = 0;
    // The frame sent last and how many bytes of its echo came back as sent.
    std::vector<uint8_t> sentFrame_;
    size_t echoMatched_ = 0;
    bool echoHeard_ = false;
    bool checksumReported_ = false;  // the wrong checksum of this block was told
    bool awaitingFirstPage_ = false;
    std::vector<uint8_t> heldBack_;  // received while the first page command waits

    bool running_ = false;
    bool completed_ = false;
    TransferEnding ending_ = TransferEnding::Running;
    uint64_t framesSent_ = 0;
    int64_t scriptBlocks_ = 0;
    int64_t blocksConfirmed_ = 0;
};
