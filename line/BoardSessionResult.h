// SPDX-License-Identifier: MIT
#pragma once
// How one board's session ended, as values: the outcome, its cause as a kind with the cause's
// data, the signal that stopped it and the figures. The front ends make the words of it; the
// codes are the stable names of the causes for machine-readable output.
#include <chrono>
#include <cstdint>
#include <string>

#include "line/Problem.h"

enum class BoardOutcome : uint8_t { Done, Failed, Stalled, Interrupted };

enum class BoardFault : uint8_t {
    None,             // done
    NotStarted,       // the transfer did not start (no script)
    PortOpenFailed,   // the port did not open
    SerialError,      // the serial component failed later on
    FileUnreadable,   // the update file could not be read
    FileRefused,      // the update file or its script was refused
    TransferError,    // any other error raised while the transfer ran
    DeviceGone,       // the device or its adapter went away
    EchoMismatch,     // the echo differed from what was sent
    NoEcho,           // what came back was never an echo: no half-duplex loop, or no line
    NoEndCommand,     // the end command did not leave the port in time
    TransferStopped,  // the transfer ended at rest otherwise
    NoProgress,       // stalled
    Stopped,          // a stop request ended it: the result's signal
    PortNotFound,     // the front end found no port for its name
};

struct BoardCause {
    BoardFault fault = BoardFault::None;
    // The problem behind it: a SerialProblem of PortOpenFailed, SerialError and PortNotFound, a
    // FileProblem of FileUnreadable, a ConversionProblem of FileRefused, a StallReason of
    // NoProgress, any problem of TransferError; an UnexpectedProblem without text where the fault
    // says it all.
    Problem problem = UnexpectedProblem{};

    // The problem as `Kind`, or nullptr.
    template <typename Kind>
    const Kind* As() const {
        return std::get_if<Kind>(&problem);
    }
};

// The cause of a failure that `error` reports: a refused or unreadable update file, `serialFault`
// (PortOpenFailed or SerialError) for the serial component's, TransferError for any other.
BoardCause CauseOfError(const std::exception& error, BoardFault serialFault);

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
