// SPDX-License-Identifier: MIT
// tevr-flash flash: the update file into the on-board computer through its boot loader.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cmath>
#include <iostream>
#include <memory>
#include <string>

#include "cli/Command.h"
#include "cli/FlashSession.h"

namespace {
struct FlashArguments {
    std::string file;
    std::string port;
    double timeoutSeconds = 10;
    bool log = false;
};

constexpr const char* kDetails =
    "Converts FILE, opens PORT at 10400 bit/s 8N1, waits for the boot loader's\n"
    "greeting, sends the firmware block by block, checks every block's echo and\n"
    "checksum and ends with the end command. A lost or changed echo byte (a line\n"
    "fault) and a device or adapter that goes away end the flash with status 1.\n"
    "Progress, the transfer's messages and --log go to standard error: a progress\n"
    "bar as wide as the terminal when it is one, plain lines otherwise.";
}  // namespace

void AddFlashCommand(CLI::App& app, CommandIo& io, CommandAction& action) {
    auto args = std::make_shared<FlashArguments>();
    CLI::App* sub = app.add_subcommand(
        "flash", "Load an update file into the on-board computer through its boot loader.");
    sub->footer(std::string(kDetails) + "\n\n" + kExitStatusHelp);
    sub->add_option("FILE", args->file, "the update file (*.hex)")->required();
    sub->add_option("-p,--port", args->port,
                    "the serial port: a path (/dev/ttyUSB0, a bk-sim link) or COM1 to COM8")
        ->type_name("PORT")
        ->required();
    sub->add_flag("--log", args->log, "print the exchange log (received bytes) on standard error");
    sub->add_option("--timeout", args->timeoutSeconds,
                    "stop with exit status 3 after this many seconds without progress")
        ->type_name("SECONDS")
        ->check(CLI::Range(0.001, 86400.0))
        ->capture_default_str();
    sub->callback([args, &io, &action] {
        action = [args, &io] {
            FlashOptions options;
            options.file = args->file;
            options.port = args->port;
            options.timeout = std::chrono::milliseconds(std::llround(args->timeoutSeconds * 1000));
            options.log = args->log;
            options.terminal = &io.err == &std::cerr && isatty(STDERR_FILENO) == 1;
            FlashSession session(options, io.err);
            return session.Run();
        };
    });
}
