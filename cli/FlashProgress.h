// SPDX-License-Identifier: MIT
#pragma once
// What tevr-flash shows on standard error while it flashes: on a terminal one progress bar line
// that is rewritten in place, otherwise a few plain lines; notes, the transfer's messages and the
// exchange log are printed above the bar on lines of their own.
#include <chrono>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>

#include "cli/FlashReport.h"

struct TransferFigures {
    int64_t blocksSent = 0;
    int64_t blocksTotal = 0;
    double seconds = 0;  // since the device's second greeting
    int64_t bytesPerBlock = 128;
};

// "[##########..............]  42 %  215 of 512 blocks  1016 B/s  0:36 left", shortened to fit in
// fewer than `columns` characters (so that a terminal never wraps it): the time left, the rate
// and the block counts go first, then bar cells.
std::string ProgressBarText(const TransferFigures& figures, int columns = 80);
// "42 % (215 of 512 blocks, 1016 B/s)"
std::string ProgressLineText(const TransferFigures& figures);
// "215 of 512 blocks", its form after the total's number.
std::string BlocksOfText(int64_t blocks, int64_t total);
// The note of a greeting answered.
std::string GreetedText();

class FlashProgress : public FlashReport {
public:
    // `columns` tells the terminal's width at the time of each drawing. `prefix` goes in front
    // of every line (after "tevr-flash: " on notes), to tell the ports apart.
    FlashProgress(std::ostream& out, bool terminal, std::function<int()> columns = {},
                  std::string prefix = {});

    void Waiting(const std::string& port) override;
    void Greeted() override;
    // A line of the program's own, after "tevr-flash: ".
    void Note(const std::string& text) override;
    // A line printed as it stands: the transfer's messages and the exchange log.
    void Line(const std::string& text) override;
    // The block and the port (the one waited on), which the window's message leaves out.
    void WrongChecksum(uint32_t blockAddress, uint8_t expected, uint8_t received) override;
    // The device's second greeting: the transfer of `blocksTotal` blocks begins.
    void Started(int64_t blocksTotal, Clock::time_point at) override;
    // Blocks handed to the port so far. The bar is redrawn at most every 100 ms, the plain lines
    // written at every tenth of the way.
    void Update(int64_t blocksSent, Clock::time_point at) override;
    // The last figures, on a line that stays.
    void Finish(Clock::time_point at) override;
    // Leaves the bar as it stands, so that what follows starts on a line of its own.
    void Abandon() override;

private:
    TransferFigures Figures(Clock::time_point at) const;
    int Columns() const;
    // `lines` broken to fit the terminal; as they are when piped.
    std::string Fit(const std::string& lines) const;
    size_t Room() const;  // characters a line may hold without wrapping
    void DrawBar(const std::string& text);
    void ClearBar();

    std::ostream& out_;
    const bool terminal_;
    const std::function<int()> columns_;
    const std::string prefix_;
    std::string port_;  // as Waiting told it
    bool started_ = false;
    Clock::time_point start_{};
    int64_t blocksTotal_ = 0;
    int64_t blocksSent_ = 0;
    Clock::time_point lastDraw_{};
    size_t barWidth_ = 0;  // characters of the bar now on the screen; 0: none
    int64_t lastTenth_ = 0;
};
