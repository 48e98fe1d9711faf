// SPDX-License-Identifier: MIT
#pragma once
// What the transfer tells the front end that runs it (the window, the flasher, tests): the
// exchange log line by line and the typed events of a transfer. The front end owns the user's
// side of it: LED, start button, gauge, progress, the messages' texts.
// Every call comes on the thread that drives the transfer, from inside Start, Stop, Receive or
// DeviceGone, once the transfer's own state has been changed for what it reports; the call may
// show a modal message before it returns.
#include <cstdint>
#include <string>

#include "loader/TransferState.h"

// What the user is to be told; texts only at the front end.
enum class TransferMessage : uint8_t {
    None,
    NoScript,      // started without a converted update file
    BadChecksum,   // the device answered a block with another checksum
    Done,          // the end command went out
    EchoMismatch,  // the line changed or lost a byte of the echo
    DeviceGone,    // the device or its adapter went away
};

enum class TransferEventKind : uint8_t {
    Refused,           // Start without a script: nothing opened; message NoScript
    GreetingAnswered,  // the greeting 0x55 (LinkState 1) or the second greeting 0xAA (LinkState 2)
    FrameSent,         // a script line taken up: its frame is on its way; the gauge moves by one
    BlockConfirmed,    // a block's checksum came back right; blocksConfirmed of blocksTotal
    WrongChecksum,     // once per block; message BadChecksum
    LineFault,         // the echo differed from the frame; at rest, port closed; EchoMismatch
    DeviceGone,        // the device went away; at rest, port closed; message DeviceGone
    Completed,         // the end command handed to the port, still open; message Done
    Stopped,           // the port closed after a completion or a switch-off (ending says which)
};

struct TransferEvent {
    TransferEventKind kind = TransferEventKind::Stopped;
    TransferMessage message = TransferMessage::None;
    TransferEnding ending = TransferEnding::Running;  // of Stopped, LineFault, DeviceGone
    TLinkState linkState = TLinkState::lsNoGreeting;  // of GreetingAnswered
    int64_t blocksConfirmed = 0;                      // of BlockConfirmed and Completed
    int64_t blocksTotal = 0;                          // block lines of the running script
    // Of WrongChecksum: the block's sum and the byte the device answered with.
    uint8_t expectedChecksum = 0;
    uint8_t receivedChecksum = 0;
};

class TransferObserver {
public:
    virtual ~TransferObserver() = default;
    // One line of the exchange log: " - > " and the hex text of received bytes.
    virtual void Logged(const std::string& line) = 0;
    virtual void Happened(const TransferEvent& event) = 0;
};
