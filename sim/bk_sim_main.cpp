// SPDX-License-Identifier: MIT
// bk-sim: the on-board computer's boot loader on a pseudo-terminal, for trying the tool without
// a device, for the demo, the tests and the benchmarks.
#include <CLI/CLI.hpp>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <limits>
#include <string>

#include "TevrVersion.h"
#include "base/HelpFormatter.h"
#include "base/NumberRange.h"
#include "base/Translation.h"
#include "sim/BootLoaderSim.h"
#include "sim/SimError.h"

namespace {
BootLoaderSim* g_sim = nullptr;

void OnSignal(int) {
    if (g_sim) g_sim->RequestStop();
}

std::string Description() {
    return Tr(
        "Simulated TEVR-R7 boot loader on a pseudo-terminal. Prints the path of the\n"
        "line for the tool (the --link path, or the pseudo-terminal) on standard\n"
        "output, then echoes every byte received, greets with 0x55 every 50 ms until\n"
        "answered with 0x55 0x33 0xCC, sends 0xAA, acknowledges each page command 0x11\n"
        "with 0xAA and answers each block command 0x22 with the 8-bit sum of its 128\n"
        "data bytes, writing them into a 64 KiB image (0xFF at start). Ends at the end\n"
        "command 0x99 0x00 0x00 once the tool has closed the line (at most 5 s later).\n"
        "If the tool stops sending in the middle of a transfer (closed or restarted),\n"
        "the device greets again after --regreet milliseconds, so a new transfer can\n"
        "start; not while the tool leaves bytes unread (a message on its screen), which\n"
        "a greeting would throw away.\n"
        "Blocks are counted from 1: block 1 is the first block command received.");
}

std::string ExitCodes() {
    return Tr(
        "Exit status:\n"
        "  0  the end command came (and the image was saved); with --repeat, for at\n"
        "     least one board\n"
        "  1  stopped, hung up or the image could not be saved\n"
        "  2  wrong arguments or the line could not be made\n"
        "  3  the tool sent a page or block command whose address is not a multiple of\n"
        "     512 or 128 (refused, answered as usual, noted on standard error even with\n"
        "     --quiet)");
}

void AddOptions(CLI::App& app, SimOptions& options, bool& verbose, bool& quiet) {
    app.add_option("--link", options.linkPath, Tr("make this symbolic link to the line"))
        ->type_name("PATH");
    app.add_option("--image", options.imagePath,
                   Tr("save the 64 KiB memory image (raw bytes) to FILE at the end command"))
        ->type_name("FILE");
    app.add_flag("--pace", options.pace,
                 Tr("10 bits per byte at 10400 bit/s, echo and answers alike"));
    app.add_option("--bad-checksum", options.badChecksumBlock,
                   Tr("answer block N wrongly once, then correctly 200 ms later"))
        ->type_name("N")
        ->check(WholeNumberRange(1, 65535));
    app.add_option("--drop-echo", options.dropEchoBlock,
                   Tr("lose one echo byte (the 101st) of block N"))
        ->type_name("N")
        ->check(WholeNumberRange(1, 65535));
    app.add_flag(
        "--no-echo", options.noEcho,
        Tr("an adapter without the half-duplex loop: no echo, greetings and answers only"));
    app.add_flag("--split", options.split, Tr("echo in pieces of 1 to 7 bytes, 2 ms apart"));
    app.add_flag("--merge", options.merge, Tr("answer in the same write as the tail of the echo"));
    app.add_option(
           "--silent-after", options.silentAfter,
           Tr("after answering block N (0: after the second greeting) echo and answer nothing"))
        ->type_name("N")
        ->check(WholeNumberRange(0, 65535));
    app.add_option("--hangup-after", options.hangupAfter,
                   Tr("after answering block N (0: after the second greeting) close the line"))
        ->type_name("N")
        ->check(WholeNumberRange(0, 65535));
    app.add_option("--regreet", options.regreetAfterMs,
                   Tr("greet again after this many ms without bytes mid-transfer (0: never)"))
        ->type_name("MS")
        ->check(WholeNumberRange(0, 3600000))
        ->capture_default_str();
    app.add_flag("--repeat", options.repeat,
                 Tr("station: after the end command the next board (memory erased) greets, 0.5 s "
                    "later; runs until stopped, --image FILE saving board N to FILE.N"));
    app.add_option("--seed", options.seed, Tr("seed of the piece sizes of --split"))
        ->type_name("N")
        ->check(WholeNumberRange(0, std::numeric_limits<unsigned>::max()))
        ->capture_default_str();
    app.add_flag("-v,--verbose", verbose, Tr("note every frame on standard error"));
    app.add_flag("-q,--quiet", quiet, Tr("no notes on standard error"));
}

void Print(const std::string& text) {
    std::fprintf(stderr, "bk-sim: %s\n", text.c_str());
}

// Runs the simulator until its run ends; the exit status.
int Simulate(const SimOptions& options, bool quiet) {
    try {
        BootLoaderSim sim(options);
        g_sim = &sim;
        struct sigaction action {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        for (int signal : {SIGINT, SIGTERM, SIGHUP})
            sigaction(signal, &action, nullptr);

        std::cout << sim.LinePath() << std::endl;
        const SimOutcome outcome = sim.Run();
        g_sim = nullptr;
        const std::vector<std::string> faults = sim.ProtocolFaults();
        if (!faults.empty()) {
            if (quiet)
                for (const std::string& fault : faults)
                    Print(fault);
            return 3;
        }
        if (outcome == SimOutcome::EndCommand && sim.ImageError().empty()) return 0;
        if (outcome == SimOutcome::Stopped && !quiet) Print(Tr("stopped"));
        return 1;
    } catch (const SimError& e) {
        Print(e.what());
        return 2;
    }
}

}  // namespace

int main(int argc, char** argv) {
    SimOptions options;
    bool verbose = false;
    bool quiet = false;
    SetUpTranslation();
    CLI::App app(Description(), "bk-sim");
    UseHelpFormatter(app);
    app.footer(ExitCodes());
    app.set_version_flag("--version", std::string("bk-sim ") + kTevrVersion,
                         Tr("Display program version information and exit"));
    AddOptions(app, options, verbose, quiet);
    TranslateHelpGroups(app);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? 0 : 2;
    }
    if (!quiet) options.note = Print;
    if (verbose) options.trace = options.note;
    return Simulate(options, quiet);
}
