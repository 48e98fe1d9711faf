// SPDX-License-Identifier: MIT
#pragma once
// The journal of a production line: one JSON line for every board and attempt, appended to a
// file that several tevr-flash processes may share. Each line is one write to a file opened for
// appending (AppendFile), so lines from different processes never mix.
#include <chrono>
#include <cstdint>
#include <string>

#include "cli/AppendFile.h"
#include "line/BoardSessionResult.h"
#include "serial/VaPortList.h"

struct JournalEntry {
    std::chrono::system_clock::time_point start{};
    std::chrono::system_clock::time_point end{};
    std::string host;
    std::string port;
    TVaPortIdentity adapter;  // empty fields are left out
    std::string file;         // the update file's absolute path
    uint64_t fileSize = 0;
    std::string sha256;   // of the update file, lower-case hexadecimal
    std::string release;  // the signed release's trusted comment; empty: not signed
    std::string keyId;    // of the key that signed it
    int64_t blocksSent = 0;
    int64_t blocksTotal = 0;
    double seconds = 0;
    std::string result;  // "done", "failed", "stalled" or "interrupted"
    std::string code;    // the cause's stable name (BoardCauseCode); empty when done
    // What happened, as data the reader words in its own language; and the stop request's number.
    BoardCause cause{};
    int signal = 0;
};

// The entry as one line of JSON, with its line break. Text that is not UTF-8 is written with
// replacement characters.
std::string JournalLine(const JournalEntry& entry);

// Local time in ISO 8601 with milliseconds and the zone: "2026-05-04T09:15:02.250+03:00".
std::string IsoLocalTime(std::chrono::system_clock::time_point time);

class Journal {
public:
    // Opens the file for appending, making it when missing. Throws SubjectError about `path`.
    explicit Journal(const std::string& path);

    // Throws SubjectError about the journal's path when the line was not written whole.
    void Append(const JournalEntry& entry);

private:
    AppendFile file_;
};
