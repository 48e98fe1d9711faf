// SPDX-License-Identifier: MIT
#pragma once
// Several ports flashing at once, on standard error. On a terminal one line per port (its name,
// then its bar with blocks, rate and time left, or its state: waiting, answering, done, the
// failure) redrawn in place and cut to the terminal's width, with the ports' messages scrolling
// above them; piped, plain lines, each with its port's name. At the end a summary table.
// Everything runs on the one thread that shows it.
#include <chrono>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/FlashReport.h"

class FlashProgress;

// What one port did, over every board of a station.
struct PortTally {
    int done = 0;
    int failed = 0;      // boards not done: failed, stalled, interrupted under way
    int64_t blocks = 0;  // confirmed, every board together
    double seconds = 0;
    std::optional<BoardResult> last;
    std::string lastProblem;  // why the last board that was not done was not

    void Add(const BoardResult& result);
};

class BoardTable {
public:
    using Clock = std::chrono::steady_clock;

    // `tallies` (one for each port, kept by the caller) give the station's counts and the
    // summary; `station` shows the counts on every line.
    BoardTable(std::ostream& out, bool terminal, std::function<int()> columns,
               const std::vector<std::string>& ports, const std::vector<PortTally>& tallies,
               bool station);
    ~BoardTable();
    BoardTable(const BoardTable&) = delete;
    BoardTable& operator=(const BoardTable&) = delete;

    // The report of port `index`.
    FlashReport& Board(size_t index);
    // Redraws the lines on a terminal when something changed, at most every 100 ms.
    void Refresh(Clock::time_point now);
    // The last drawing, and the summary table below it.
    void Close();

    // The summary: port, result, blocks, time, message; one row for each port.
    std::string Summary() const;

private:
    class Report;
    struct Row;

    void Print(const std::string& line);
    void Draw(Clock::time_point now);
    // `room`: the columns a line may fill.
    std::string LineText(const Row& row, Clock::time_point now, size_t room) const;
    size_t Room() const;

    std::ostream& out_;
    const bool terminal_;
    const std::function<int()> columns_;
    const std::vector<PortTally>& tallies_;
    const bool station_;
    size_t portWidth_ = 0;
    std::vector<std::unique_ptr<Row>> rows_;
    std::vector<std::unique_ptr<Report>> reports_;
    size_t drawn_ = 0;  // lines of the table now on the screen
    bool dirty_ = false;
    Clock::time_point lastDraw_{};
};
