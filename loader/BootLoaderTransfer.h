// SPDX-License-Identifier: MIT
#pragma once
// The transfer of the converted script into the on-board computer through its boot loader: the
// start/stop of the start button and the receive step that answers every batch of received bytes.
// All three handlers run on the thread that owns the port, one at a time; errors propagate to
// the caller (the window shows them, the command line prints them).
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "loader/TransferHost.h"
#include "loader/TransferPort.h"
#include "loader/TransferState.h"

class BootLoaderTransfer {
public:
    // Bytes the device sends besides the echo.
    static constexpr uint8_t kGreeting = 0x55;
    static constexpr uint8_t kAcknowledge = 0xAA;
    // The 8-bit frame length of the line: longer script lines are refused.
    static constexpr size_t kMaxFrameLength = 255;

    static constexpr const char* kNoFileMessage = "Ошибка: файл обновления не выбран";
    static constexpr const char* kBadChecksumMessage = "Ошибка: Неверная контрольная сумма";
    static constexpr const char* kDoneMessage = "Обновление ПО в Тевр R7 завершено";
    static constexpr const char* kEchoMismatchMessage =
        "Ошибка: эхо на линии не совпало с переданным (сбой линии). Проверьте кабель и адаптер";
    static constexpr const char* kDeviceGoneMessage =
        "Ошибка: связь с БК потеряна: устройство или адаптер отключены";

    BootLoaderTransfer(TransferPort& port, TransferHost& host);

    // Once, when the window is created.
    void FormCreate();
    // After the start button has toggled: starts a transfer when it is now on, stops it when off.
    void AbColBitBtn1Click();
    // One receive step; `count` is the number of bytes waiting at the port.
    void VaComm1RxChar(int32_t count);
    // The port reported that the device or its adapter went away: a running transfer ends at
    // rest (port closed, button, LED and gauge off) with one message.
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

    // True from a start that opened the port until completion or until the button is switched
    // off; the window refuses a new conversion meanwhile.
    bool Running() const { return running_; }
    // True once the end command of the latest transfer has been handed to the port.
    bool Completed() const { return completed_; }
    TransferEnding Ending() const { return ending_; }
    // Block lines of the script the latest transfer started with, and how many of them the
    // device has confirmed with a correct checksum so far.
    int64_t ScriptBlocks() const { return scriptBlocks_; }
    // Block lines of a converted script (Memo2), known before any port opens; its first line,
    // the first page command, is sent as a fixed frame and never counted.
    static int64_t CountScriptBlocks(const std::vector<std::string>& script);
    int64_t BlocksConfirmed() const { return blocksConfirmed_; }
    // Frames handed to the port since the program started (greeting answers and end commands
    // included); a host that watches for a stalled transfer compares it over time.
    uint64_t FramesSent() const { return framesSent_; }

private:
    void StartTransfer();
    void StopTransfer();
    std::vector<uint8_t> ReadEvent(int32_t count);
    size_t EchoAhead(size_t available) const;
    bool HandleEcho(std::span<const uint8_t> bytes);
    size_t MatchEcho(std::span<const uint8_t> bytes);
    void HandleEvent(std::span<const uint8_t> bytes);
    void SendScriptLine(bool afterChecksum);
    void SendFrame(const std::vector<uint8_t>& frame);
    void WaitBeforeFirstPage();
    void Complete();
    void EndWithFault(TransferEnding ending, const char* message);
    void Finish(TransferEnding ending);
    void Log();

    TransferPort& port_;
    TransferHost& host_;

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
    bool checksumReported_ = false;  // the wrong-checksum message of this block was shown

    bool running_ = false;
    bool completed_ = false;
    TransferEnding ending_ = TransferEnding::Running;
    uint64_t framesSent_ = 0;
    int64_t scriptBlocks_ = 0;
    int64_t blocksConfirmed_ = 0;
};
