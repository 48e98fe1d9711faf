// SPDX-License-Identifier: MIT
// tevr-flash journal: the journal of `flash --journal` as a table, or summed up by day. Its lines
// may come from any program that writes the file, so each is checked and shown printable.
#include <CLI/CLI.hpp>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "base/Translation.h"
#include "base/Utf8Path.h"
#include "cli/CauseJson.h"
#include "cli/Command.h"
#include "cli/Printable.h"
#include "cli/ProgramLine.h"
#include "cli/SessionTexts.h"
#include "cli/SubjectError.h"
#include "cli/TextTable.h"

namespace {
struct JournalArguments {
    std::string file;
    bool summary = false;
};

using Json = nlohmann::json;

// A field as text: strings as they are, numbers as written; anything else is empty.
std::string Field(const Json& line, const char* name) {
    const auto found = line.find(name);
    if (found == line.end()) return "";
    if (found->is_string()) return PrintableText(found->get<std::string>());
    if (found->is_number_integer()) return found->dump();
    if (found->is_number()) {
        char text[32];
        std::snprintf(text, sizeof text, "%.1f", found->get<double>());
        return text;
    }
    return "";
}

// A board's result in the user's language; the journal keeps the word of the JSON.
std::string ResultText(const std::string& result) {
    if (result == "done") return Tr("done");
    if (result == "failed") return Tr("failed");
    if (result == "stalled") return Tr("stalled");
    if (result == "interrupted") return Tr("interrupted");
    return result;
}

// Why a board was not done, in the reader's language: the journal keeps the cause as data. A line
// of a journal that kept words instead shows them as they are.
std::string Message(const Json& line) {
    const auto cause = line.find("cause");
    if (cause == line.end()) return Field(line, "message");
    const std::optional<BoardCause> read = CauseFromJson(*cause);
    if (!read) return "";
    const std::string result = Field(line, "result");
    const BoardOutcome outcome = result == "stalled"       ? BoardOutcome::Stalled
                                 : result == "interrupted" ? BoardOutcome::Interrupted
                                                           : BoardOutcome::Failed;
    const auto signal = line.find("signal");
    return PrintableText(
        ResultMessage(outcome, *read,
                      signal != line.end() && signal->is_number_integer() ? signal->get<int>() : 0,
                      Field(line, "port"), Field(line, "file")));
}

// "2026-05-04T09:15:02.250+03:00" as "2026-05-04 09:15:02".
std::string When(const std::string& iso) {
    std::string text = iso.substr(0, 19);
    if (text.size() > 10 && text[10] == 'T') text[10] = ' ';
    return text;
}

std::string FileName(const std::string& path) {
    // Journals written on Windows name the file with backslashes.
    return path.substr(path.find_last_of("/\\") + 1);
}

std::vector<Json> ReadJournal(const std::string& path, std::ostream& err) {
    std::ifstream in(PathFromUtf8(path));
    if (!in) throw SubjectError(path, Fill(Tr("cannot open: %1"), {std::strerror(errno)}));
    std::vector<Json> lines;
    std::string text;
    for (size_t number = 1; std::getline(in, text); ++number) {
        if (text.empty()) continue;
        Json line = Json::parse(text, nullptr, false);
        if (line.is_discarded() || !line.is_object() || !line.contains("result")) {
            err << ProgramLine(PrintableText(path) + ":" + std::to_string(number) + ": " +
                               Tr("not a journal line, left out"));
            continue;
        }
        lines.push_back(std::move(line));
    }
    if (in.bad()) throw SubjectError(path, Tr("cannot read it"));
    return lines;
}

std::string Table(const std::vector<Json>& lines) {
    std::vector<std::vector<std::string>> rows{{Tr("start"), Tr("port"), Tr("result"), Tr("blocks"),
                                                Tr("time"), Tr("file"), "sha256", Tr("message")}};
    for (const Json& line : lines)
        rows.push_back({When(Field(line, "start")), Field(line, "port"),
                        ResultText(Field(line, "result")),
                        Field(line, "blocks") + "/" + Field(line, "blocks_total"),
                        Fill(Tr("%1 s"), {Field(line, "seconds")}), FileName(Field(line, "file")),
                        Field(line, "sha256").substr(0, 12), Message(line)});
    return TextTable(rows);
}

std::string Summary(const std::vector<Json>& lines) {
    struct Day {
        int boards = 0;
        int done = 0;
    };
    std::map<std::string, Day> days;
    Day total;
    std::vector<std::vector<std::string>> failures{
        {Tr("start"), Tr("port"), Tr("result"), Tr("message")}};
    for (const Json& line : lines) {
        const bool done = Field(line, "result") == "done";
        for (Day* day : {&days[Field(line, "start").substr(0, 10)], &total}) {
            ++day->boards;
            day->done += done;
        }
        if (!done)
            failures.push_back({When(Field(line, "start")), Field(line, "port"),
                                ResultText(Field(line, "result")), Message(line)});
    }
    std::vector<std::vector<std::string>> rows{
        {Tr("day"), Tr("boards"), Tr("done"), Tr("not done")}};
    const auto row = [](const std::string& name, const Day& day) {
        return std::vector<std::string>{name, std::to_string(day.boards), std::to_string(day.done),
                                        std::to_string(day.boards - day.done)};
    };
    for (const auto& [name, day] : days)
        rows.push_back(row(name, day));
    rows.push_back(row(Tr("total"), total));
    std::string text = TextTable(rows);
    if (failures.size() > 1)
        text += "\n" + std::string(Tr("boards not done:")) + "\n" + TextTable(failures);
    return text;
}
}  // namespace

void AddJournalCommand(CLI::App& app, CommandIo& io, CommandAction& action) {
    auto args = std::make_shared<JournalArguments>();
    CLI::App* sub = app.add_subcommand(
        "journal", Tr("Print the journal that flash --journal writes, or sum it up by day."));
    sub->add_option("FILE", args->file, Tr("the journal file"))->required();
    sub->add_flag("--summary", args->summary,
                  Tr("boards done and not done on each day, then the boards not done"));
    sub->callback([args, &io, &action] {
        action = [args, &io] {
            const std::vector<Json> lines = ReadJournal(args->file, io.err);
            if (lines.empty()) {
                io.err << ProgramLine(PrintableText(args->file) + ": " + Tr("no boards in it"));
                io.err.flush();
                return 0;
            }
            WriteOutput(io.out, args->summary ? Summary(lines) : Table(lines));
            return 0;
        };
    });
}
