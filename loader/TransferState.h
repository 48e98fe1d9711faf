// SPDX-License-Identifier: MIT
#pragma once
// The protocol's state, as types. The two variables keep their numeric values, which the
// exchange log and older notes of the protocol refer to; the types carry the variables' names
// with a T, as the component libraries name theirs, so that the transfer's accessors LinkState()
// and TransferState() keep the variables' own names.
#include <cstdint>

// How far the boot loader's greetings have been answered.
enum class TLinkState : uint8_t {
    lsNoGreeting = 0,        // no greeting answered
    lsGreetingAnswered = 1,  // the greeting 0x55 answered
    lsScriptUnderWay = 2,    // the second greeting 0xAA answered, the script under way
};

// What the receive step waits for.
enum class TTransferState : uint8_t {
    tsNothingSent = 0,           // nothing sent since the program started
    tsAwaitingAcknowledge = 10,  // the device's 0xAA
    tsCollectingEcho = 20,       // the rest of a block command's echo
    tsAwaitingChecksum = 21,     // the device's checksum byte of the block
};

// How the latest transfer ended; the two faults put everything at rest with one message.
enum class TransferEnding : uint8_t {
    Running,       // under way, or none started yet
    Completed,     // the end command went out after the last correct checksum
    SwitchedOff,   // the start button was switched off
    EchoMismatch,  // the echo of a frame differed from the frame: a line fault
    DeviceGone,    // the port reported that the device or its adapter went away
};
