#include "cli/TevrFlash.h"

#include <CLI/CLI.hpp>
#include <exception>
#include <ostream>

#include "cli/Command.h"

namespace {
constexpr const char* kFooter =
    "Exit status:\n"
    "  0  the command succeeded\n"
    "  1  the command failed; its message alone is printed on standard error\n"
    "  2  the command line is wrong (usage error)";

void AddCommands(CLI::App& app, CommandIo& io, CommandAction& action) {
    AddConvertCommand(app, io, action);
}
}  // namespace

void WriteOutput(std::ostream& out, const std::string& text) {
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    if (!out) throw std::runtime_error("cannot write the output");
}

int RunTevrFlash(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    CLI::App app(
        "Loads firmware into the TEVR-R7 on-board computer through its serial boot loader.",
        "tevr-flash");
    app.footer(kFooter);
    app.require_subcommand(1);

    CommandIo io{out, err};
    CommandAction action;
    AddCommands(app, io, action);

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
        err << e.what() << '\n';
        err.flush();
        return kExitError;
    }
}
