// SPDX-License-Identifier: MIT
#include "cli/FlashProgress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>

#include "base/Translation.h"
#include "cli/ProgramLine.h"
#include "cli/Terminal.h"
#include "cli/TextTable.h"
#include "words/Words.h"

namespace {
constexpr int kBarCells = 24;

int64_t PerCent(const TransferFigures& f) {
    if (f.blocksTotal <= 0) return 100;
    return std::clamp<int64_t>(f.blocksSent * 100 / f.blocksTotal, 0, 100);
}

std::string Rate(const TransferFigures& f) {
    if (f.seconds <= 0 || f.blocksSent <= 0) return Tr("- B/s");
    const double rate = static_cast<double>(f.blocksSent * f.bytesPerBlock) / f.seconds;
    if (rate < 10000) return Fill(Tr("%1 B/s"), {DecimalText(rate, 0)});
    return Fill(Tr("%1 KiB/s"), {DecimalText(rate / 1024, 1)});
}

std::string TimeLeft(const TransferFigures& f) {
    if (f.blocksSent <= 0 || f.seconds <= 0) return Tr("-:-- left");
    const double left = f.seconds *
                        static_cast<double>(std::max<int64_t>(f.blocksTotal - f.blocksSent, 0)) /
                        static_cast<double>(f.blocksSent);
    const auto whole = static_cast<long long>(std::ceil(std::min(left, 359999.0)));
    char time[32];
    std::snprintf(time, sizeof time, "%lld:%02lld", whole / 60, whole % 60);
    return Fill(Tr("%1 left"), {time});
}

std::string Blocks(const TransferFigures& f) {
    return BlocksOfText(f.blocksSent, f.blocksTotal);
}
}  // namespace

std::string ProgressBarText(const TransferFigures& figures, int columns) {
    const int64_t perCent = PerCent(figures);
    char head[16];
    std::snprintf(head, sizeof head, " %3lld %%", static_cast<long long>(perCent));
    const std::string tails[] = {"  " + Blocks(figures), "  " + Rate(figures),
                                 "  " + TimeLeft(figures)};
    // The last column is left free: writing into it makes some terminals wrap.
    const size_t room = columns > 1 ? static_cast<size_t>(columns - 1) : 0;
    const auto bar = [&](size_t cells) {
        const auto filled = static_cast<size_t>(perCent * static_cast<int64_t>(cells) / 100);
        return "[" + std::string(filled, '#') + std::string(cells - filled, '.') + "]";
    };
    std::string text = bar(kBarCells) + head;
    size_t kept = 0;
    // Columns, not bytes: the figures' words may be translated into letters of two bytes.
    while (kept < std::size(tails) && TextWidth(text) + TextWidth(tails[kept]) <= room)
        text += tails[kept++];
    if (TextWidth(text) <= room) return text;
    // Narrower than the bar and its figure: fewer cells, then the figure alone.
    const size_t fixed = 2 + std::string(head).size();
    if (room >= fixed + 4) return bar(std::min<size_t>(kBarCells, room - fixed)) + head;
    std::string figure = std::string(head).substr(1);
    return figure.substr(0, std::min(figure.size(), room));
}

std::string BlocksOfText(int64_t blocks, int64_t total) {
    return Fill(TrN("%1 of %2 block", "%1 of %2 blocks", static_cast<uint64_t>(total)),
                {std::to_string(blocks), std::to_string(total)});
}

std::string GreetedText() {
    return Tr("greeting from the boot loader answered");
}

std::string ProgressLineText(const TransferFigures& figures) {
    return Fill(Tr("%1 %% (%2, %3)"),
                {std::to_string(PerCent(figures)), Blocks(figures), Rate(figures)});
}

FlashProgress::FlashProgress(std::ostream& out, bool terminal, std::function<int()> columns,
                             std::string prefix)
    : out_(out), terminal_(terminal), columns_(std::move(columns)), prefix_(std::move(prefix)) {}

void FlashProgress::Waiting(const std::string& port) {
    port_ = port;
    Note(Fill(Tr("waiting for the boot loader on %1 (switch the on-board computer on or reset it)"),
              {port}));
}

void FlashProgress::Greeted() {
    Note(GreetedText());
}

void FlashProgress::WrongChecksum(uint32_t blockAddress, uint8_t expected, uint8_t received) {
    Note(WrongChecksumText(port_, blockAddress, expected, received));
}

void FlashProgress::Note(const std::string& text) {
    ClearBar();
    out_ << Fit(ProgramLine(prefix_ + text));
    out_.flush();
}

void FlashProgress::Line(const std::string& text) {
    ClearBar();
    out_ << Fit(prefix_ + text + '\n');
    out_.flush();
}

std::string FlashProgress::Fit(const std::string& lines) const {
    return terminal_ ? FitLines(lines, static_cast<size_t>(Columns())) : lines;
}

void FlashProgress::Started(int64_t blocksTotal, Clock::time_point at) {
    started_ = true;
    start_ = at;
    blocksTotal_ = blocksTotal;
    blocksSent_ = 0;
    lastTenth_ = 0;
    lastDraw_ = Clock::time_point{};
    if (terminal_) DrawBar(ProgressBarText(Figures(at), Columns()));
}

void FlashProgress::Update(int64_t blocksSent, Clock::time_point at) {
    if (!started_ || blocksSent == blocksSent_) return;
    blocksSent_ = blocksSent;
    if (terminal_) {
        if (at - lastDraw_ < kTerminalRedrawInterval) return;
        lastDraw_ = at;
        DrawBar(ProgressBarText(Figures(at), Columns()));
        return;
    }
    const int64_t tenth = blocksTotal_ > 0 ? blocksSent_ * 10 / blocksTotal_ : 10;
    if (tenth <= lastTenth_) return;
    lastTenth_ = tenth;
    Note(ProgressLineText(Figures(at)));
}

void FlashProgress::Finish(Clock::time_point at) {
    if (!started_) return;
    const TransferFigures figures = Figures(at);
    if (terminal_) {
        DrawBar(ProgressBarText(figures, Columns()));
        out_ << '\n';
        barWidth_ = 0;
        out_.flush();
    } else if (lastTenth_ < 10 || figures.blocksSent != blocksTotal_) {
        Note(ProgressLineText(figures));
    }
    started_ = false;
}

void FlashProgress::Abandon() {
    if (barWidth_ != 0) {
        out_ << '\n';
        out_.flush();
        barWidth_ = 0;
    }
    started_ = false;
}

int FlashProgress::Columns() const {
    return columns_ ? columns_() : 80;
}

size_t FlashProgress::Room() const {
    const int columns = Columns();
    return columns > 1 ? static_cast<size_t>(columns - 1) : 0;
}

TransferFigures FlashProgress::Figures(Clock::time_point at) const {
    TransferFigures figures;
    figures.blocksSent = blocksSent_;
    figures.blocksTotal = blocksTotal_;
    figures.seconds = std::chrono::duration<double>(at - start_).count();
    return figures;
}

void FlashProgress::DrawBar(const std::string& text) {
    // Shorter text than before leaves the old tail on the screen: blank it out, but never past
    // the terminal's edge, which would wrap.
    std::string line = "\r" + text;
    const size_t blank = std::min(barWidth_, Room());
    const size_t width = TextWidth(text);
    if (width < blank) line.append(blank - width, ' ');
    out_ << line;
    out_.flush();
    barWidth_ = width;
}

void FlashProgress::ClearBar() {
    if (barWidth_ == 0) return;
    out_ << '\r' << std::string(std::min(barWidth_, Room()), ' ') << '\r';
    barWidth_ = 0;
    lastDraw_ = Clock::time_point{};
}
