// SPDX-License-Identifier: MIT
// tevr-flash flash: the update file into the on-board computer through its boot loader, on one
// port or on several at once.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cmath>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "base/NumberRange.h"
#include "base/Translation.h"
#include "cli/Command.h"
#include "cli/FlashRun.h"
#include "cli/SubjectError.h"
#include "cli/Terminal.h"
#include "serial/VaPort.h"
#include "serial/VaUtils.h"

namespace {
struct FlashArguments {
    std::string file;
    std::vector<std::string> ports;
    double timeoutSeconds = 10;
    bool log = false;
    bool repeat = false;
    std::string journal;
    std::string expectSha256;  // lower-case; empty: any file
    std::vector<std::string> trustedKeys;
    bool requireSignature = false;
    bool json = false;
};

std::string FlashDetails() {
    return Tr(
        "Converts FILE, opens PORT at 10400 bit/s 8N1, waits for the boot loader's\n"
        "greeting, sends the firmware block by block, checks every block's echo and\n"
        "checksum and ends with the end command. A lost or changed echo byte (a line\n"
        "fault) and a device or adapter that goes away end the flash with status 1.\n"
        "Progress, the transfer's messages and --log go to standard error: a progress\n"
        "bar as wide as the terminal when it is one, plain lines otherwise.\n"
        "\n"
        "Several --port options flash one board on each port, all at once: a line per\n"
        "port, then a summary table. Status 1 when a board failed, 3 when none failed\n"
        "but one stalled. --repeat keeps every port ready for the next board until\n"
        "Ctrl-C, counting the boards done and failed.\n"
        "\n"
        "A station file (--config FILE, before or after flash) holds these options\n"
        "under [flash] as name = value (TOML or INI): file, port, expect-sha256,\n"
        "trusted-key, require-signature, journal, timeout, repeat. Options on the\n"
        "command line win over the file.\n"
        "\n"
        "A release signature FILE.minisig (minisign) beside FILE is checked against the\n"
        "keys of --trusted-key and of the system's trusted-keys file before any port\n"
        "opens; an altered file, an altered trusted comment or a key not trusted is\n"
        "refused with status 1, and so is a file without one under\n"
        "--require-signature. The release (the trusted comment) is shown first.");
}
}  // namespace

void AddFlashCommand(CLI::App& app, CommandIo& io, CommandAction& action) {
    auto args = std::make_shared<FlashArguments>();
    CLI::App* sub = app.add_subcommand(
        "flash", Tr("Load an update file into the on-board computer through its boot loader."));
    sub->footer(FlashDetails() + "\n\n" + ExitStatusHelp());
    // Named in any case in a station file: file = "fw.hex".
    sub->add_option("FILE", args->file, Tr("the update file (*.hex)"))->required()->ignore_case();
    sub->add_option("-p,--port", args->ports,
                    Tr("the serial port: a path (/dev/ttyUSB0, a bk-sim link), COM1 to COM8, or "
                       "an adapter usb:SERIAL or usb:VID:PID[:SERIAL] (see ports); again for "
                       "every further board flashed at the same time"))
        ->type_name("PORT")
        ->allow_extra_args(false)
        ->required();
    sub->add_flag("--log", args->log,
                  Tr("print the exchange log (received bytes) on standard error"));
    sub->add_option("--timeout", args->timeoutSeconds,
                    Tr("stop with exit status 3 after this many seconds without progress"))
        ->type_name("SECONDS")
        ->transform(NumberRange(0.001, 86400))
        ->capture_default_str();
    sub->add_flag("--repeat", args->repeat,
                  Tr("station mode: after each board wait for the next one on the same port, "
                     "until Ctrl-C"));
    sub->add_option("--journal", args->journal,
                    Tr("append a JSON line for every board to this file (see the journal command)"))
        ->type_name("FILE");
    sub->add_option("--expect-sha256", args->expectSha256,
                    Tr("refuse, before any port is opened, an update file whose SHA-256 is "
                       "not HEX (tevr-flash plan shows it)"))
        ->type_name("HEX")
        ->transform(CLI::Validator(
            [](std::string& hex) -> std::string {
                if (hex.size() != 64 ||
                    hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
                    return Tr("a SHA-256 is 64 hexadecimal digits");
                std::transform(hex.begin(), hex.end(), hex.begin(),
                               [](char c) { return c >= 'A' && c <= 'F' ? char(c + 32) : c; });
                return "";
            },
            ""));
    sub->add_option("--trusted-key", args->trustedKeys,
                    Tr("trust release signatures (FILE.minisig) made with this minisign public "
                       "key: its text or a .pub file; again for more keys"))
        ->type_name("KEY")
        ->allow_extra_args(false);
    sub->add_flag("--require-signature", args->requireSignature,
                  Tr("refuse an update file without a release signature by a trusted key"));
    sub->add_flag("--json", args->json,
                  Tr("every port's events as JSON Lines on standard output (see the manual)"));
    sub->callback([args, &io, &action] {
        action = [args, &io] {
            FlashRunOptions options;
            options.file = args->file;
            options.ports = args->ports;
            options.timeout = std::chrono::milliseconds(std::llround(args->timeoutSeconds * 1000));
            options.log = args->log;
            options.terminal = &io.err == &std::cerr && StandardErrorIsTerminal();
            options.repeat = args->repeat;
            options.journal = args->journal;
            options.expectSha256 = args->expectSha256;
            options.trustedKeys = args->trustedKeys;
            options.requireSignature = args->requireSignature;
            if (args->json) options.json = &io.out;
            return RunFlash(options, io.err);
        };
    });
}
