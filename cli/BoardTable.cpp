// SPDX-License-Identifier: MIT
#include "cli/BoardTable.h"

#include <algorithm>
#include <ostream>

#include "base/Translation.h"
#include "cli/FlashProgress.h"
#include "cli/Printable.h"
#include "cli/ProgramLine.h"
#include "cli/Terminal.h"
#include "cli/TextTable.h"
#include "words/Words.h"

namespace {
// The summary's column of blocks: figures only, "3/21".
std::string Blocks(const BoardResult& result) {
    return std::to_string(result.blocksSent) + "/" + std::to_string(result.blocksTotal);
}

std::string DoneText(const BoardResult& result) {
    return Fill(TrN("done: %1 of %2 block in %3", "done: %1 of %2 blocks in %3",
                    static_cast<uint64_t>(result.blocksTotal)),
                {std::to_string(result.blocksSent), std::to_string(result.blocksTotal),
                 SecondsText(result.seconds)});
}

// The line that tells how a board ended, when the session has not told it already.
std::string ResultLine(const BoardResult& result) {
    if (result.outcome == BoardOutcome::Done) return DoneText(result);
    if (result.outcome == BoardOutcome::Failed) return Fill(Tr("failed: %1"), {result.message});
    return "";
}

// A station port's boards so far.
std::string Tally(const PortTally& tally) {
    return Fill(Tr("%1 done, %2 failed"),
                {std::to_string(tally.done), std::to_string(tally.failed)});
}

// The summary's word for an outcome: the journal's, in the user's language.
const char* OutcomeText(BoardOutcome outcome) {
    switch (outcome) {
        case BoardOutcome::Done:
            return Tr("done");
        case BoardOutcome::Stalled:
            return Tr("stalled");
        case BoardOutcome::Interrupted:
            return Tr("interrupted");
        case BoardOutcome::Failed:
            break;
    }
    return Tr("failed");
}

std::string Pad(const std::string& text, size_t width) {
    const size_t used = TextWidth(text);
    return used < width ? text + std::string(width - used, ' ') : text;
}
}  // namespace

void PortTally::Add(const BoardResult& result) {
    last = result;
    blocks += result.blocksSent;
    seconds += result.seconds;
    if (result.outcome == BoardOutcome::Done) {
        ++done;
        return;
    }
    ++failed;
    lastProblem = result.message;
}

struct BoardTable::Row {
    enum class State { Opening, Waiting, Greeted, Flashing, Ended };

    size_t index = 0;
    std::string port;  // printable
    State state = State::Opening;
    int64_t total = 0;
    int64_t sent = 0;
    Clock::time_point start{};
    BoardResult ended;
    std::unique_ptr<FlashProgress> plain;  // piped: the port's own plain lines
};

class BoardTable::Report final : public FlashReport {
public:
    Report(BoardTable& table, Row& row) : table_(table), row_(row) {}

    void Waiting(const std::string&) override {
        Set(Row::State::Waiting);
        if (row_.plain) row_.plain->Note(Tr("waiting for the boot loader"));
    }
    void Greeted() override {
        Set(Row::State::Greeted);
        if (row_.plain) row_.plain->Greeted();
    }
    void Started(int64_t blocksTotal, Clock::time_point at) override {
        Set(Row::State::Flashing);
        row_.total = blocksTotal;
        row_.sent = 0;
        row_.start = at;
        if (row_.plain) row_.plain->Started(blocksTotal, at);
    }
    void Update(int64_t blocksSent, Clock::time_point at) override {
        table_.dirty_ = table_.dirty_ || blocksSent != row_.sent;
        row_.sent = blocksSent;
        if (row_.plain) row_.plain->Update(blocksSent, at);
    }
    void Finish(Clock::time_point at) override {
        if (row_.plain) row_.plain->Finish(at);
    }
    void Abandon() override {
        if (row_.plain) row_.plain->Abandon();
    }
    void WrongChecksum(uint32_t blockAddress, uint8_t expected, uint8_t received) override {
        // Each line names the port already.
        Note(WrongChecksumText({}, blockAddress, expected, received));
    }
    void Note(const std::string& text) override {
        if (row_.plain) {
            row_.plain->Note(text);
        } else {
            table_.Print(ProgramNote(row_.port + ": " + text));
        }
    }
    void Line(const std::string& text) override {
        if (row_.plain) {
            row_.plain->Line(text);
        } else {
            table_.Print(row_.port + ": " + text);
        }
    }
    void Ended(const BoardResult& result) override {
        Set(Row::State::Ended);
        row_.ended = result;
        const std::string line = ResultLine(result);
        if (!line.empty()) Note(line);
    }

private:
    void Set(Row::State state) {
        row_.state = state;
        table_.dirty_ = true;
    }

    BoardTable& table_;
    Row& row_;
};

BoardTable::BoardTable(std::ostream& out, bool terminal, std::function<int()> columns,
                       const std::vector<std::string>& ports, const std::vector<PortTally>& tallies,
                       bool station)
    : out_(out),
      terminal_(terminal),
      columns_(std::move(columns)),
      tallies_(tallies),
      station_(station) {
    for (size_t i = 0; i < ports.size(); ++i) {
        auto row = std::make_unique<Row>();
        row->index = i;
        row->port = PrintableText(ports[i]);
        portWidth_ = std::max(portWidth_, TextWidth(row->port));
        if (!terminal_)
            row->plain = std::make_unique<FlashProgress>(out_, false, columns_, row->port + ": ");
        reports_.push_back(std::make_unique<Report>(*this, *row));
        rows_.push_back(std::move(row));
    }
}

BoardTable::~BoardTable() = default;

FlashReport& BoardTable::Board(size_t index) {
    return *reports_.at(index);
}

void BoardTable::Refresh(Clock::time_point now) {
    if (!terminal_ || !dirty_ || now - lastDraw_ < kTerminalRedrawInterval) return;
    Draw(now);
}

void BoardTable::Close() {
    if (terminal_) Draw(Clock::now());
    out_ << Summary();
    out_.flush();
}

size_t BoardTable::Room() const {
    const int columns = columns_ ? columns_() : 80;
    // The last column is left free: writing into it makes some terminals wrap.
    return columns > 1 ? static_cast<size_t>(columns - 1) : 0;
}

void BoardTable::Print(const std::string& line) {
    if (!terminal_) {
        out_ << line << '\n';
        out_.flush();
        return;
    }
    // Up to the table's first line, clear it and what is below, and put the line there; the
    // table follows it at once.
    std::string text;
    if (drawn_ > 0) text = "\r\x1b[" + std::to_string(drawn_) + "A\x1b[J";
    out_ << text << FitLines(line + '\n', Room() + 1);
    drawn_ = 0;
    Draw(Clock::now());
}

void BoardTable::Draw(Clock::time_point now) {
    std::string text;
    if (drawn_ > 0) text = "\r\x1b[" + std::to_string(drawn_) + "A";
    const size_t room = Room();
    for (const auto& row : rows_)
        text += FitColumns(LineText(*row, now, room), room) + "\x1b[K\n";
    out_ << text;
    out_.flush();
    drawn_ = rows_.size();
    dirty_ = false;
    lastDraw_ = now;
}

std::string BoardTable::LineText(const Row& row, Clock::time_point now, size_t room) const {
    std::string head = Pad(row.port, portWidth_) + "  ";
    const PortTally& tally = tallies_.at(row.index);
    if (station_) head += "[" + Tally(tally) + "]  ";
    switch (row.state) {
        case Row::State::Opening:
            return head + Tr("opening the port");
        case Row::State::Waiting:
            if (station_ && tally.last)
                return head + (tally.last->outcome == BoardOutcome::Done
                                   ? Tr("waiting for the next board (the last one done)")
                                   : Tr("waiting for the next board (the last one not done)"));
            return head + Tr("waiting for the boot loader");
        case Row::State::Greeted:
            return head + GreetedText();
        case Row::State::Flashing: {
            TransferFigures figures;
            figures.blocksSent = row.sent;
            figures.blocksTotal = row.total;
            figures.seconds = std::chrono::duration<double>(now - row.start).count();
            const size_t columns = room + 1;
            const size_t used = TextWidth(head);
            return head +
                   ProgressBarText(figures, columns > used ? static_cast<int>(columns - used) : 1);
        }
        case Row::State::Ended:
            break;
    }
    const BoardResult& result = row.ended;
    switch (result.outcome) {
        case BoardOutcome::Done:
            return head + DoneText(result);
        case BoardOutcome::Failed:
            return head + Fill(Tr("FAILED: %1"), {PrintableText(result.message)});
        case BoardOutcome::Stalled:
            // Its message begins with what it was: "no progress: ...".
            return head + PrintableText(result.message);
        case BoardOutcome::Interrupted:
            // A station stopped while it waited for its next board had no board to stop.
            if (!result.greeted) return head + result.message;
            return head + Fill(TrN("%1 after %2 of %3 block", "%1 after %2 of %3 blocks",
                                   static_cast<uint64_t>(result.blocksTotal)),
                               {result.message, std::to_string(result.blocksSent),
                                std::to_string(result.blocksTotal)});
    }
    return head;
}

std::string BoardTable::Summary() const {
    std::vector<std::vector<std::string>> cells{
        {Tr("port"), Tr("result"), Tr("blocks"), Tr("time"), Tr("message")}};
    for (const auto& row : rows_) {
        const PortTally& tally = tallies_.at(row->index);
        if (station_) {
            cells.push_back({row->port, Tally(tally), std::to_string(tally.blocks),
                             SecondsText(tally.seconds), PrintableText(tally.lastProblem)});
        } else if (tally.last) {
            cells.push_back({row->port, OutcomeText(tally.last->outcome), Blocks(*tally.last),
                             SecondsText(tally.last->seconds), PrintableText(tally.last->message)});
        } else {
            cells.push_back({row->port, Tr("not started"), "", "", ""});
        }
    }
    return TextTable(cells);
}
