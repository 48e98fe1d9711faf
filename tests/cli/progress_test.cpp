// SPDX-License-Identifier: MIT
// The progress figures and how the bar and the plain lines share standard error with messages.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/FlashProgress.h"

namespace {

using namespace std::chrono_literals;
using Clock = FlashProgress::Clock;

TEST(ProgressText, FiguresOfATransferUnderWay) {
    TransferFigures figures;
    figures.blocksSent = 128;
    figures.blocksTotal = 512;
    figures.seconds = 16;  // 128 × 128 bytes in 16 s
    EXPECT_EQ(ProgressBarText(figures),
              "[######..................]  25 %  128 of 512 blocks  1024 B/s  0:48 left");
    EXPECT_EQ(ProgressLineText(figures), "25 % (128 of 512 blocks, 1024 B/s)");

    figures.seconds = 0.5;
    EXPECT_NE(ProgressLineText(figures).find("32.0 KiB/s"), std::string::npos);
}

TEST(ProgressText, EdgesNeitherDivideByZeroNorOverflowTheBar) {
    TransferFigures start;
    start.blocksTotal = 16;
    EXPECT_EQ(ProgressBarText(start),
              "[........................]   0 %  0 of 16 blocks  - B/s  -:-- left");

    TransferFigures none;  // a script without blocks counts as done
    EXPECT_EQ(ProgressLineText(none), "100 % (0 of 0 blocks, - B/s)");

    TransferFigures over;
    over.blocksSent = 20;
    over.blocksTotal = 16;
    over.seconds = 1;
    EXPECT_EQ(ProgressBarText(over).substr(0, 32), "[########################] 100 %");

    TransferFigures slow;  // hours left are shown as minutes
    slow.blocksSent = 1;
    slow.blocksTotal = 100;
    slow.seconds = 60;
    EXPECT_NE(ProgressBarText(slow).find(" 99:00 left"), std::string::npos);
}

TEST(FlashProgress, PipedOutputGetsOneLinePerTenth) {
    std::ostringstream out;
    FlashProgress progress(out, false);
    const auto t0 = Clock::now();
    progress.Started(20, t0);
    for (int sent = 1; sent <= 20; ++sent)
        progress.Update(sent, t0 + sent * 100ms);
    progress.Finish(t0 + 2s);
    std::istringstream lines(out.str());
    std::vector<std::string> all;
    for (std::string line; std::getline(lines, line);)
        all.push_back(line);
    ASSERT_EQ(all.size(), 10u) << out.str();
    EXPECT_EQ(all.front(), "tevr-flash: 10 % (2 of 20 blocks, 1280 B/s)");
    EXPECT_EQ(all.back().substr(0, 31), "tevr-flash: 100 % (20 of 20 blo");
    EXPECT_EQ(out.str().find('\r'), std::string::npos);
}

TEST(FlashProgress, TerminalBarIsRewrittenAndClearedForMessages) {
    std::ostringstream out;
    FlashProgress progress(out, true);
    const auto t0 = Clock::now();
    progress.Started(4, t0);
    progress.Update(1, t0 + 200ms);
    progress.Update(2, t0 + 250ms);  // too soon after the last drawing
    EXPECT_EQ(out.str().find(" 50 %"), std::string::npos);
    progress.Line("Ошибка: Неверная контрольная сумма");
    progress.Update(3, t0 + 260ms);  // drawn again at once after a message
    progress.Update(4, t0 + 300ms);  // too soon again, but the last figures are drawn at the end
    progress.Finish(t0 + 400ms);

    const std::string text = out.str();
    // The message starts on a blanked line and ends with a line break of its own.
    const size_t message = text.find("Ошибка");
    ASSERT_NE(message, std::string::npos);
    EXPECT_EQ(text[message - 1], '\r');
    EXPECT_EQ(text.substr(message - 2, 2), " \r");
    EXPECT_NE(text.find(" 75 %"), std::string::npos);
    EXPECT_EQ(text.back(), '\n');
    EXPECT_NE(text.rfind("\r[########################] 100 %"), std::string::npos);
}

TEST(FlashProgress, AbandonedBarStaysAndTheNextLineStartsAfresh) {
    std::ostringstream out;
    FlashProgress progress(out, true);
    progress.Started(4, Clock::now());
    progress.Abandon();
    progress.Note("no progress");
    EXPECT_EQ(out.str().substr(out.str().size() - 25), "\ntevr-flash: no progress\n");
}

}  // namespace

TEST(ProgressText, BarNeverReachesTheTerminalsLastColumn) {
    TransferFigures figures;
    figures.blocksSent = 215;
    figures.blocksTotal = 512;
    figures.seconds = 27;
    for (int columns : {200, 80, 60, 40, 33, 20, 8, 1, 0}) {
        const std::string text = ProgressBarText(figures, columns);
        EXPECT_LT(text.size(), static_cast<size_t>(std::max(columns, 1)))
            << columns << ": " << text;
        if (columns >= 8) {
            EXPECT_NE(text.find("41 %"), std::string::npos) << columns;
        }
    }
    // What goes first as the room shrinks: the time left, the rate, the block counts, cells.
    EXPECT_EQ(ProgressBarText(figures, 70),
              "[#########...............]  41 %  215 of 512 blocks  1019 B/s");
    EXPECT_EQ(ProgressBarText(figures, 60), "[#########...............]  41 %  215 of 512 blocks");
    EXPECT_EQ(ProgressBarText(figures, 40), "[#########...............]  41 %");
    EXPECT_EQ(ProgressBarText(figures, 20), "[####.......]  41 %");
}

TEST(FlashProgress, BarFollowsTheTerminalsWidth) {
    std::ostringstream out;
    int columns = 80;
    FlashProgress progress(out, true, [&] { return columns; });
    const auto t0 = Clock::now();
    progress.Started(512, t0);
    progress.Update(100, t0 + 1s);
    columns = 30;  // the window was made narrower
    const size_t narrowed = out.str().size();
    progress.Update(200, t0 + 2s);
    progress.Line("note");
    // Notes go on lines of their own, broken between words, never by the terminal.
    progress.Note("the on-board computer stays in its boot loader");
    EXPECT_NE(out.str().find("tevr-flash: the on-board\n  computer stays in its boot\n  loader\n"),
              std::string::npos)
        << out.str();
    progress.Finish(t0 + 3s);
    std::istringstream after(out.str().substr(narrowed));
    for (std::string segment; std::getline(after, segment, '\r');)
        EXPECT_LT(segment.substr(0, segment.find('\n')).size(), 30u) << segment;
    EXPECT_NE(out.str().find("\r[########.............]  39 %"), std::string::npos) << out.str();
}
