// SPDX-License-Identifier: MIT
// A whole transfer of an 8 KiB image at the line's real pace: the simulated boot loader
// (bk-sim --pace, here in-process so that its moments are exact) and the tevr-flash program.
// Prints the transfer time from the device's second greeting 0xAA to the end command, the time
// the bytes alone need on the wire, their ratio (target <= 1.01), and the flasher's CPU time as a
// share of its wall time (target <= 1 %).
// With --windows the flasher is the Windows build's tevr-flash.exe under Wine (make windows
// first), on a COM port of a prefix of its own: Wine's own overhead comes on top of the figures.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "bench_support.h"
#include "files/FileConversion.h"
#include "loader/Conversion.h"

using namespace bench;
using namespace std::chrono_literals;

int main(int argc, char** argv) {
    const bool windows = argc > 1 && std::string(argv[1]) == "--windows";
    WineFlasher wine;
    const std::string flasher = windows ? wine.Program() : TEVR_BINARY_DIR "/cli/tevr-flash";
    const auto work = PrepareWorkbench("bench_transfer", flasher);
    if (!work) return 1;
    const std::filesystem::path& folder = work->folder;
    const std::string& file = work->file;
    if (windows && !wine.Prepare((folder / "wine.log").string())) {
        std::fprintf(stderr, "bench_transfer: no Wine prefix; see %s/wine.log\n", folder.c_str());
        return 1;
    }

    ConvertedUpdate lists;
    NullGauge gauge;
    ConvertUpdateFile(file, lists, gauge);

    Moments moments;
    SimOptions options = moments.PacedOptions();
    options.linkPath = windows ? wine.Link() : (folder / "line").string();
    BootLoaderSim sim(options);
    sim.Start();

    const std::string log = (folder / "flash.err").string();
    const std::vector<std::string> args{"flash", file, "--port",
                                        windows ? WineFlasher::Port() : options.linkPath};
    std::vector<std::string> command = windows ? wine.Command(args) : args;
    if (!windows) command.insert(command.begin(), flasher);
    const ChildRun run = RunChild(command, log);
    sim.WaitForOutcome(10s);
    sim.Stop();

    if (!run.Succeeded() || !moments.Complete()) {
        std::fprintf(stderr, "bench_transfer: the transfer failed (status %d); see %s\n",
                     run.status, log.c_str());
        return 1;
    }

    const double bound = WireSeconds(sim, lists.ScriptLineCount);
    const double transfer = moments.TransferSeconds();

    std::printf("transfer of an 8 KiB image (%d blocks) with bk-sim --pace and %s flash\n",
                sim.BlocksReceived(), windows ? "tevr-flash.exe under Wine" : "tevr-flash");
    std::printf("  transfer time, device's 0xAA to the end command: %.3f s\n", transfer);
    std::printf("  wire-time bound, (%zu bytes + %lld answers) x 10 bit / 10400 bit/s: %.3f s\n",
                sim.Received().size() - 3, static_cast<long long>(lists.ScriptLineCount), bound);
    std::printf(
        "  ratio: %.4f (target <= 1.01; the 21 ms wait before the first page alone is "
        "%.4f of it)\n",
        transfer / bound, 0.021 / bound);
    // tevr-flash sleeps the 21 ms before the first page command (the window busy-waits them).
    std::printf("  flasher CPU time: %.3f s of %.3f s wall = %.2f %% (target <= 1 %%)\n", run.cpu,
                run.wall, 100 * run.cpu / run.wall);
    std::filesystem::remove_all(folder);
    return 0;
}
