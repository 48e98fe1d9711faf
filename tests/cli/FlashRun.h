// SPDX-License-Identifier: MIT
#pragma once
// tevr-flash run in this process: its exit status and what it wrote.
#include <algorithm>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/TevrFlash.h"

struct FlashRun {
    int status;
    std::string out;
    std::string err;
    std::vector<std::string> lines;  // of err

    bool HasLine(const std::string& line) const {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    bool Mentions(const std::string& text) const { return err.find(text) != std::string::npos; }
};

// Runs tevr-flash with `args`; its standard output goes to `out` when given.
inline FlashRun TevrFlash(std::vector<std::string> args, std::ostream* out = nullptr) {
    args.insert(args.begin(), "tevr-flash");
    std::vector<const char*> argv;
    for (const auto& a : args)
        argv.push_back(a.c_str());
    std::ostringstream captured, err;
    const int status =
        RunTevrFlash(static_cast<int>(argv.size()), argv.data(), out ? *out : captured, err);
    FlashRun run{status, captured.str(), err.str(), {}};
    std::istringstream lines(run.err);
    for (std::string line; std::getline(lines, line);)
        run.lines.push_back(line);
    return run;
}
