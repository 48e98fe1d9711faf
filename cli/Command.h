// SPDX-License-Identifier: MIT
#pragma once
// The subcommands of tevr-flash. Each lives in a file of its own (ConvertCommand.cpp, ...) and adds
// itself to the program's CLI11 app through a function declared here; AddCommands in TevrFlash.cpp
// calls them all. A new subcommand declares its Add function below and adds one call there.
#include <functional>
#include <iosfwd>
#include <string>

namespace CLI {
class App;
}

// Where a subcommand writes: its result to `out`, nothing else; errors are left to the caller.
struct CommandIo {
    std::ostream& out;
    std::ostream& err;
};

// The work of the chosen subcommand, run after the whole command line has parsed, so that a usage
// error never leaves a job half done. Returns the exit status; throws std::exception on failure.
using CommandAction = std::function<int()>;

// Each Add function registers its subcommand on `app`; when the subcommand is chosen, its parse
// callback stores the work in `action`.
void AddCheckCommand(CLI::App& app, CommandIo& io, CommandAction& action);
void AddConvertCommand(CLI::App& app, CommandIo& io, CommandAction& action);
void AddFlashCommand(CLI::App& app, CommandIo& io, CommandAction& action);
void AddJournalCommand(CLI::App& app, CommandIo& io, CommandAction& action);
void AddPlanCommand(CLI::App& app, CommandIo& io, CommandAction& action);
void AddPortsCommand(CLI::App& app, CommandIo& io, CommandAction& action);
void AddVerifyCommand(CLI::App& app, CommandIo& io, CommandAction& action);

// The exit statuses of every subcommand, the footer of the program's help.
std::string ExitStatusHelp();

// Writes `text` to `out` and flushes; throws when the stream refuses it (a full disk, a closed
// pipe), so that a lost output is never reported as success.
void WriteOutput(std::ostream& out, const std::string& text);
