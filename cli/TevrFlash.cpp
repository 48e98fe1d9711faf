// SPDX-License-Identifier: MIT
#include "cli/TevrFlash.h"

#include <CLI/CLI.hpp>
#include <exception>
#include <ostream>
#include <string>

#include "TevrVersion.h"
#include "base/HelpFormatter.h"
#include "base/Translation.h"
#include "cli/Command.h"
#include "cli/Printable.h"
#include "cli/ProgramLine.h"
#include "cli/StationFile.h"
#include "cli/SubjectError.h"
#include "cli/Terminal.h"
#include "cli/TextTable.h"

std::string ExitStatusHelp() {
    return Tr(
        "Exit status:\n"
        "  0    the command succeeded (flash: the end command was sent after the last\n"
        "       correct checksum; verify: the image holds every byte of the update file)\n"
        "  1    the command failed; its message is the last line on standard error, or\n"
        "       the line before its hints\n"
        "  2    the command line is wrong (usage error)\n"
        "  3    flash: no progress for --timeout seconds (device silent, wrong checksum\n"
        "       left unanswered); the port was closed\n"
        "  129  flash: terminal closed (SIGHUP); the port was closed\n"
        "  130  flash: interrupted with Ctrl-C; the port was closed\n"
        "  143  flash: terminated (SIGTERM); the port was closed");
}

namespace {

void AddCommands(CLI::App& app, CommandIo& io, CommandAction& action) {
    AddCheckCommand(app, io, action);
    AddConvertCommand(app, io, action);
    AddFlashCommand(app, io, action);
    AddJournalCommand(app, io, action);
    AddPlanCommand(app, io, action);
    AddPortsCommand(app, io, action);
    AddVerifyCommand(app, io, action);
}
}  // namespace

void WriteOutput(std::ostream& out, const std::string& text) {
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    if (!out) throw std::runtime_error(Tr("cannot write the output"));
}

int RunTevrFlash(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    CLI::App app(Tr("Loads firmware into the TEVR-R7 on-board computer through its boot loader."),
                 "tevr-flash");
    UseHelpFormatter(app);
    app.footer(ExitStatusHelp());
    app.set_version_flag("--version", std::string("tevr-flash ") + kTevrVersion,
                         Tr("Display program version information and exit"));
    app.require_subcommand(1);
    // The same command line everywhere: on Windows a path such as /data/fw.hex is a path, not an
    // option "/data".
    app.allow_windows_style_options(false);

    CommandIo io{out, err};
    CommandAction action;
    AddCommands(app, io, action);
    AddStationFile(app);
    TranslateHelpGroups(app);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // Help requested is a success; every other parse failure is a usage error.
        int status = app.exit(e, out, err);
        return status == static_cast<int>(CLI::ExitCodes::Success) ? kExitOk : kExitUsage;
    }

    try {
        return action ? action() : kExitUsage;
    } catch (const std::exception& e) {
        // Messages may quote the update file's bytes or name what a user typed: never raw.
        std::string text = ProgramLine(PrintableText(MessageOf(e)));
        if (const auto* about = dynamic_cast<const SubjectError*>(&e))
            for (const std::string& hint : about->Hints())
                text += ProgramLine(PrintableText(about->Subject() + ": " + hint));
        err << FitLines(text, static_cast<size_t>(ErrorColumns(err)));
        err.flush();
        return dynamic_cast<const UsageError*>(&e) ? kExitUsage : kExitError;
    }
}
