#include "cli/FlashProgress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ostream>

namespace {
constexpr int kBarCells = 24;
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

int64_t PerCent(const TransferFigures& f) {
    if (f.blocksTotal <= 0) return 100;
    return std::clamp<int64_t>(f.blocksSent * 100 / f.blocksTotal, 0, 100);
}

std::string Rate(const TransferFigures& f) {
    if (f.seconds <= 0 || f.blocksSent <= 0) return "- B/s";
    const double rate = static_cast<double>(f.blocksSent * f.bytesPerBlock) / f.seconds;
    char text[32];
    if (rate < 10000) {
        std::snprintf(text, sizeof text, "%.0f B/s", rate);
    } else {
        std::snprintf(text, sizeof text, "%.1f KiB/s", rate / 1024);
    }
    return text;
}

std::string TimeLeft(const TransferFigures& f) {
    if (f.blocksSent <= 0 || f.seconds <= 0) return "-:-- left";
    const double left = f.seconds *
                        static_cast<double>(std::max<int64_t>(f.blocksTotal - f.blocksSent, 0)) /
                        static_cast<double>(f.blocksSent);
    const auto whole = static_cast<long long>(std::ceil(std::min(left, 359999.0)));
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld left", whole / 60, whole % 60);
    return text;
}

std::string Blocks(const TransferFigures& f) {
    return std::to_string(f.blocksSent) + "/" + std::to_string(f.blocksTotal) + " blocks";
}
}  // namespace

std::string ProgressBarText(const TransferFigures& figures) {
    const int64_t perCent = PerCent(figures);
    const auto filled = static_cast<size_t>(perCent * kBarCells / 100);
    std::string bar = "[" + std::string(filled, '#') + std::string(kBarCells - filled, '.') + "]";
    char head[16];
    std::snprintf(head, sizeof head, " %3lld %%", static_cast<long long>(perCent));
    return bar + head + "  " + Blocks(figures) + "  " + Rate(figures) + "  " + TimeLeft(figures);
}

std::string ProgressLineText(const TransferFigures& figures) {
    return std::to_string(PerCent(figures)) + " % (" + Blocks(figures) + ", " + Rate(figures) + ")";
}

FlashProgress::FlashProgress(std::ostream& out, bool terminal) : out_(out), terminal_(terminal) {}

void FlashProgress::Note(const std::string& text) {
    Line("tevr-flash: " + text);
}

void FlashProgress::Line(const std::string& text) {
    ClearBar();
    out_ << text << '\n';
    out_.flush();
}

void FlashProgress::Started(int64_t blocksTotal, Clock::time_point at) {
    started_ = true;
    start_ = at;
    blocksTotal_ = blocksTotal;
    blocksSent_ = 0;
    lastTenth_ = 0;
    lastDraw_ = Clock::time_point{};
    if (terminal_) DrawBar(ProgressBarText(Figures(at)));
}

void FlashProgress::Update(int64_t blocksSent, Clock::time_point at) {
    if (!started_ || blocksSent == blocksSent_) return;
    blocksSent_ = blocksSent;
    if (terminal_) {
        if (at - lastDraw_ < kRedrawInterval) return;
        lastDraw_ = at;
        DrawBar(ProgressBarText(Figures(at)));
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
        DrawBar(ProgressBarText(figures));
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

TransferFigures FlashProgress::Figures(Clock::time_point at) const {
    TransferFigures figures;
    figures.blocksSent = blocksSent_;
    figures.blocksTotal = blocksTotal_;
    figures.seconds = std::chrono::duration<double>(at - start_).count();
    return figures;
}

void FlashProgress::DrawBar(const std::string& text) {
    // Shorter text than before leaves the old tail on the screen: blank it out.
    std::string line = "\r" + text;
    if (text.size() < barWidth_) line.append(barWidth_ - text.size(), ' ');
    out_ << line;
    out_.flush();
    barWidth_ = text.size();
}

void FlashProgress::ClearBar() {
    if (barWidth_ == 0) return;
    out_ << '\r' << std::string(barWidth_, ' ') << '\r';
    barWidth_ = 0;
    lastDraw_ = Clock::time_point{};
}
