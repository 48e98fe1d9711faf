// SPDX-License-Identifier: MIT
// tevr-flash check: a line check before a flash, one verdict per port; nothing of the window is
// touched.
#include <CLI/CLI.hpp>
#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "base/NumberRange.h"
#include "base/Translation.h"
#include "cli/Command.h"
#include "cli/JsonEvents.h"
#include "cli/LineCheck.h"
#include "cli/PartOfAll.h"
#include "cli/Printable.h"
#include "cli/ProgramLine.h"
#include "cli/Terminal.h"
#include "cli/TevrFlash.h"
#include "cli/TextTable.h"
#include "line/BootLoaderPorts.h"

namespace {
struct CheckArguments {
    std::vector<std::string> ports;
    double listenSeconds = 2;
    bool echo = false;
    bool json = false;
};

std::string CheckDetails() {
    return Tr(
        "Opens each PORT as flash does (10400 bit/s 8N1) and says whether it opens, with\n"
        "the cause and hint when not, the rate the driver reads back, and on Linux the\n"
        "adapter behind it (driver, USB identity, an FTDI adapter's latency timer) and\n"
        "whether the low latency asked for at the open took (an FTDI adapter's latency\n"
        "timer then runs at 1 ms).\n"
        "Then it listens, sending nothing, for --listen seconds: greetings mean the boot\n"
        "loader is running, other bytes are traffic on the line, or there is silence.\n"
        "\n"
        "--echo sends 6 probe bytes instead and tells whether they came back unchanged\n"
        "and how fast: no echo means the adapter has no half-duplex loop or the line no\n"
        "supply voltage; a changed echo means a line fault. A probe is safe before the\n"
        "on-board computer is switched into its boot loader, and while its boot loader\n"
        "greets (the probe holds none of its commands); never during a flash.\n"
        "\n"
        "Status 0 when every line is ready: the port opens at 10400 bit/s (within 2 %),\n"
        "no traffic but greetings was heard, and with --echo the probe came back\n"
        "unchanged. Status 1 otherwise. A station file (--config FILE, before or after\n"
        "check) may hold port, listen and echo under [check].");
}
}  // namespace

void AddCheckCommand(CLI::App& app, CommandIo& io, CommandAction& action) {
    auto args = std::make_shared<CheckArguments>();
    CLI::App* sub = app.add_subcommand(
        "check", Tr("Check the line of each port before a flash: one verdict each."));
    sub->footer(CheckDetails() + "\n\n" + ExitStatusHelp());
    sub->add_option("PORT", args->ports,
                    Tr("a path, COM1 to COM8 or usb:SERIAL / usb:VID:PID[:SERIAL]; several ports "
                       "are checked one after the other"))
        ->required()
        ->ignore_case();
    sub->add_option("--listen", args->listenSeconds, Tr("listen this many seconds on each port"))
        ->type_name("SECONDS")
        ->transform(NumberRange(0, 3600))
        ->capture_default_str();
    sub->add_flag("--echo", args->echo,
                  Tr("send probe bytes and time their echo (safe before the boot loader runs)"));
    sub->add_flag("--json", args->json,
                  Tr("each verdict also as a JSON line on standard output (see the manual)"));
    sub->callback([args, &io, &action] {
        action = [args, &io] {
            std::vector<std::string> notReady;
            for (const std::string& port : args->ports) {
                LineCheckOptions options;
                options.port = port;
                options.listen =
                    std::chrono::milliseconds(std::llround(args->listenSeconds * 1000));
                options.echo = args->echo;
                options.portRoots = BootLoaderPortRoots();
                const LineCheckResult result = CheckLine(options);
                std::string text;
                for (const std::string& line : result.lines)
                    text += ProgramLine(PrintableText(port + ": " + line));
                io.err << FitLines(text, static_cast<size_t>(ErrorColumns(io.err)));
                io.err.flush();
                if (args->json) WriteJsonCheck(io.out, result);
                if (!result.ready) notReady.push_back(port);
            }
            if (args->ports.size() > 1) {
                const size_t all = args->ports.size();
                std::string text;
                if (notReady.empty()) {
                    text += Fill(TrN("all %1 line ready", "all %1 lines ready", all),
                                 {std::to_string(all)});
                } else {
                    text += PartOfAll(
                        TrN("%1 of %2 line not ready: %3", "%1 of %2 lines not ready: %3", all),
                        notReady, all);
                }
                io.err << FitLines(ProgramLine(PrintableText(text)),
                                   static_cast<size_t>(ErrorColumns(io.err)));
                io.err.flush();
            }
            return notReady.empty() ? kExitOk : kExitError;
        };
    });
}
