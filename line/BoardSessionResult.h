// SPDX-License-Identifier: MIT
#pragma once
// How one board's session ended, as values: the outcome, its cause as a kind with the cause's
// data, the signal that stopped it and the figures. The front ends make the words of it; the
// codes are the stable names of the causes for machine-readable output.
#include <chrono>
#include <cstdint>
#include <string>

#include "loader/Errors.h"
#include "serial/VaClasses.h"

enum class BoardOutcome : uint8_t { Done, Failed, Stalled, Interrupted };

enum class BoardFault : uint8_t {
    None,             // done
    NotStarted,       // the transfer did not start (no script)
    PortOpenFailed,   // the port did not open: systemError, detail
    SerialError,      // the serial component failed later on: systemError, detail
    FileUnreadable,   // the update file could not be read: detail
    FileRefused,      // the update file or its script was refused: problem
    TransferError,    // any other error raised while the transfer ran: detail
    DeviceGone,       // the device or its adapter went away
    EchoMismatch,     // the echo differed from what was sent
    NoEndCommand,     // the end command did not leave the port in time
    TransferStopped,  // the transfer ended at rest otherwise
    NoProgress,       // stalled: stall
    Stopped,          // a stop request ended it: the result's signal
    PortNotFound,     // the front end found no port for its name: detail
};

// What a stalled session waited for when its time ran out.
enum class StallWait : uint8_t {
    Greeting,        // the boot loader's first greeting
    SecondGreeting,  // its second greeting (0xAA)
    Acknowledge,     // the acknowledgement of a page command
    Echo,            // the echo of a block, none of it come
    RestOfEcho,      // the rest of a block's echo
    Checksum,        // a correct checksum of a block
    Answer,          // anything at all
};

struct StallReason {
    StallWait waitedFor = StallWait::Answer;
    std::string address;  // the block's address field as the script writes it; may be empty
    int echoCount = 0;    // of RestOfEcho: echo bytes come and expected
    int echoLength = 0;
    std::chrono::milliseconds waited{0};
};

struct BoardCause {
    BoardFault fault = BoardFault::None;
    int systemError = 0;  // the system's error code behind a serial or file error, 0 when none
    // The serial component's or the system's own message of the error; no words of ours.
    std::string detail;
    // Of a serial error: what the component failed to do, and the device it names.
    TVaCommFault commFault = TVaCommFault::Other;
    std::string device;
    ConversionProblem problem{};  // of FileRefused
    StallReason stall{};          // of NoProgress
};

struct BoardSessionResult {
    BoardOutcome outcome = BoardOutcome::Failed;
    BoardCause cause{};
    int signal = 0;          // of Interrupted: the stop request's number
    std::string port;        // as opened
    bool greeted = false;    // a board greeted on it
    bool started = false;    // its blocks began to go out
    int64_t blocksSent = 0;  // confirmed with a correct checksum
    int64_t blocksTotal = 0;
    std::chrono::system_clock::time_point start{};
    std::chrono::system_clock::time_point end{};
    double seconds = 0;
};

// The stable name of the cause ("device-gone", "no-greeting", "wrong-record-checksum" for a
// refused file); empty for None.
const char* BoardCauseCode(const BoardCause& cause);
