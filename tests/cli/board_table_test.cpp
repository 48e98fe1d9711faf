// SPDX-License-Identifier: MIT
// The lines of several ports on a terminal: redrawn in place, never wider than the terminal,
// with messages scrolling above them.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/BoardTable.h"
#include "table_text.h"

namespace {

using namespace std::chrono_literals;
using Clock = BoardTable::Clock;

// The table's lines as drawn: each ends with "erase to the end of the line".
std::vector<std::string> DrawnLines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t end = text.find("\x1b[K"); end != std::string::npos;
         end = text.find("\x1b[K", end + 1)) {
        size_t begin = text.rfind('\n', end);
        begin = begin == std::string::npos ? 0 : begin + 1;
        std::string line = text.substr(begin, end - begin);
        if (line.rfind("\r\x1b[", 0) == 0) line = line.substr(line.find('A') + 1);
        lines.push_back(line);
    }
    return lines;
}

TEST(BoardTable, TerminalLinesAreRedrawnInPlaceAndFitTheWidth) {
    std::ostringstream out;
    int columns = 80;
    std::vector<PortTally> tallies(2);
    BoardTable table(
        out, true, [&] { return columns; }, {"/tmp/tevr-sim/line-a", "/dev/ttyUSB1"}, tallies,
        false);
    const auto t0 = Clock::now();
    table.Board(0).Waiting("/tmp/tevr-sim/line-a");
    table.Board(1).Waiting("/dev/ttyUSB1");
    table.Board(0).Started(512, t0);
    table.Board(0).Update(100, t0 + 1s);
    table.Refresh(t0 + 1s);
    EXPECT_EQ(DrawnLines(out.str()),
              (std::vector<std::string>{
                  "/tmp/tevr-sim/line-a  [####....................]  19 %  100 of 512 blocks",
                  "/dev/ttyUSB1          waiting for the boot loader"}));

    // A message goes above the table, which is drawn again below it at once.
    const size_t before = out.str().size();
    table.Board(1).Line("Ошибка: Неверная контрольная сумма");
    EXPECT_EQ(out.str().substr(before, 8), "\r\x1b[2A\x1b[J");
    EXPECT_NE(out.str().find("/dev/ttyUSB1: Ошибка: Неверная контрольная сумма\n"),
              std::string::npos);
    EXPECT_EQ(DrawnLines(out.str().substr(before)).size(), 2u);

    columns = 30;  // the window was made narrower
    const size_t narrowed = out.str().size();
    table.Board(0).Update(200, t0 + 2s);
    table.Refresh(t0 + 2s);
    BoardResult failed;
    failed.message = "the device or its adapter went away (unplugged, switched off or reset)";
    tallies[1].Add(failed);
    table.Board(1).Ended(failed);
    table.Close();
    const std::vector<std::string> drawn = DrawnLines(out.str().substr(narrowed));
    ASSERT_GE(drawn.size(), 4u);
    for (const std::string& line : drawn)
        EXPECT_LT(line.size(), 30u) << line;
    EXPECT_EQ(drawn.back(), "/dev/ttyUSB1          FAILED:");
    // The summary has the whole message.
    const std::vector<std::string> lines = line_test::Lines(out.str());
    EXPECT_EQ(line_test::Cells(lines.back()),
              (std::vector<std::string>{"/dev/ttyUSB1", "failed", "0/0", "0 s", failed.message}));
}

}  // namespace
