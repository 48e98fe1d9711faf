// SPDX-License-Identifier: MIT
#pragma once
// The one table of words: every kind the layers report, worded once for every front end (the
// window, tevr-flash, bk-sim, the page). The English texts are the message ids; the user's
// language comes from the catalogue (base/Translation.h: the environment's, or the one a front end
// chose with UseCatalogue). Machine-readable output never goes through here.
//
// A problem's text is a sentence without a subject: the front end puts the file or the port in
// front of it where it names one ("tevr-flash: fw.hex: ...", the window's error box).
#include <cstdint>
#include <string>

#include "line/BoardSessionResult.h"
#include "line/Problem.h"
#include "loader/ReleaseFaults.h"
#include "loader/TransferObserver.h"
#include "loader/TransferPlan.h"
#include "serial/VaPortInfo.h"

// ----- Numbers ---------------------------------------------------------------------------------
// `value` with `decimals` digits after the separator of the user's language (a comma in Russian).
std::string DecimalText(double value, int decimals);
// "0.4 s", "3 s": seconds with a tenth where it says something, whole ones from 10 on.
std::string SecondsText(double seconds);

// A count of bytes: "1 byte", "65536 bytes".
std::string ByteCountText(int64_t count);

// A transfer's plan as every front end shows it: its page commands, its block commands, and what
// goes over the line and how long that takes at the least.
std::string PlanPagesText(const TransferPlan& plan);
std::string PlanBlocksText(const TransferPlan& plan);
std::string PlanLineText(const TransferPlan& plan);

// ----- The kinds -------------------------------------------------------------------------------
// The window's message of a transfer, exactly as the window has always shown it; empty for None.
std::string TransferMessageText(TransferMessage message);

// A block whose checksum the device answered wrongly: its address and the two sums, and the port
// unless `port` is empty (a front end that names the port in front of the text).
std::string WrongChecksumText(const std::string& port, uint32_t blockAddress, uint8_t expected,
                              uint8_t received);

// A refused update file: "line 5: wrong record checksum", "the update file holds no data".
std::string ConversionProblemText(const ConversionProblem& problem);
// Without the line: what is wrong with the file, or with the record line.
std::string ConversionFaultText(const ConversionProblem& problem);
// Whether the problem is a record line's (it has a line of the update file).
bool IsRecordFault(const ConversionProblem& problem);

// The file error ("File not found" and the like, "I/O error 5").
std::string FileProblemText(const FileProblem& problem);

// The serial component's failure; it names the device unless `device` is empty (a front end that
// names the port in front of the text).
std::string SerialProblemText(const SerialProblem& problem);

// A release signature that does not hold.
std::string SignatureProblemText(const SignatureProblem& problem);
// A refused trusted key, with its line where it has one; the file's error of a trusted-keys file
// that cannot be read. Without the file: a front end that names it in front of the text.
std::string KeyProblemText(const KeyProblem& problem);
// The trusted-keys file `path` refused for a bad key, and not read.
std::string TrustedKeysProblemText(const std::string& path, const KeyProblem& problem);
std::string TrustedKeysUnreadableText(const std::string& path, const FileProblem& problem);
// "ТЕВР-R7 2.3.1 (key B3CE124693EF8AC8)": a verified release, on one line.
std::string ReleaseText(const ReleaseSignature& release);

// What a stalled session waited for; `port` names the port it waited on.
std::string StallText(const StallReason& stall, const std::string& port);

// How a board's session failed (not of NoProgress and Stopped, which StallText and SignalText
// say); `port` as opened.
std::string BoardCauseText(const BoardCause& cause, const std::string& port);

// A stop request by its number: "interrupted (Ctrl-C)", "terminated (SIGTERM)", "hung up (SIGHUP)".
std::string SignalText(int signal);

// What a port is, as the port lists show it ("Serial port COM1", the adapter's own name).
std::string PortDescriptionText(const TVaPortInfo& port);

// Any problem, as a sentence without a subject.
std::string ProblemText(const Problem& problem);

// Any problem as an error box says it: "Error: ..." / "Error in line 5 of the update file: ...",
// with a full stop.
std::string ErrorBoxText(const Problem& problem);
