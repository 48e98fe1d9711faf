// SPDX-License-Identifier: MIT
// A production line: eight paced simulated boards (in-process, so that their moments are exact),
// 8 KiB each, flashed by one tevr-flash process with eight --port options. Each board's transfer
// time over its wire time is compared with the same ratio of a single board flashed alone in the
// same run (target: within 0.5 %), and the flasher's CPU share of its wall time with eight times
// the single board's (target: below).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "bench_support.h"
#include "files/FileConversion.h"
#include "loader/Conversion.h"

using namespace bench;
using namespace std::chrono_literals;

namespace {
constexpr int kBoards = 8;

struct LineRun {
    ChildRun flasher;
    std::vector<double> ratios;  // transfer time over wire time, board by board
};

// Flashes `boards` paced simulators with one tevr-flash; empty ratios when something failed.
LineRun FlashBoards(int boards, const std::string& flasher, const std::string& file,
                    int64_t scriptLines, const std::filesystem::path& folder) {
    std::vector<std::unique_ptr<Moments>> moments;
    std::vector<std::unique_ptr<BootLoaderSim>> sims;
    std::vector<std::string> args{flasher, "flash", file};
    for (int i = 0; i < boards; ++i) {
        moments.push_back(std::make_unique<Moments>());
        SimOptions options = moments.back()->PacedOptions();
        options.linkPath = (folder / ("board" + std::to_string(i))).string();
        sims.push_back(std::make_unique<BootLoaderSim>(options));
        args.insert(args.end(), {"--port", options.linkPath});
    }
    for (const auto& sim : sims)
        sim->Start();
    LineRun run;
    const std::string log = (folder / "flash.err").string();
    run.flasher = RunChild(args, log);
    for (const auto& sim : sims) {
        sim->WaitForOutcome(10s);
        sim->Stop();
    }
    if (!run.flasher.Succeeded()) {
        std::fprintf(stderr, "bench_production: the flash failed (status %d); see %s\n",
                     run.flasher.status, log.c_str());
        return run;
    }
    for (int i = 0; i < boards; ++i) {
        if (!moments[i]->Complete()) return {};
        run.ratios.push_back(moments[i]->TransferSeconds() / WireSeconds(*sims[i], scriptLines));
    }
    return run;
}
}  // namespace

int main() {
    const std::string flasher = TEVR_BINARY_DIR "/cli/tevr-flash";
    const auto work = PrepareWorkbench("bench_production", flasher);
    if (!work) return 1;
    const std::filesystem::path& folder = work->folder;
    const std::string& file = work->file;
    ConvertedUpdate lists;
    NullGauge gauge;
    ConvertUpdateFile(file, lists, gauge);

    const LineRun single = FlashBoards(1, flasher, file, lists.ScriptLineCount, folder);
    const LineRun line = FlashBoards(kBoards, flasher, file, lists.ScriptLineCount, folder);
    if (single.ratios.empty() || line.ratios.empty()) return 1;

    const double alone = single.ratios.front();
    std::printf("%d boards of 8 KiB at once (bk-sim --pace) with one tevr-flash flash\n", kBoards);
    std::printf("  one board alone: transfer / wire time = %.4f\n", alone);
    double worst = 0;
    for (int i = 0; i < kBoards; ++i) {
        const double off = line.ratios[i] / alone - 1;
        worst = std::max(worst, std::abs(off));
        std::printf("  board %d: %.4f (%+.2f %% of the single board's)\n", i + 1, line.ratios[i],
                    100 * off);
    }
    std::printf("  worst board: %.2f %% off the single board's ratio (target <= 0.5 %%)\n",
                100 * worst);
    const double aloneShare = single.flasher.cpu / single.flasher.wall;
    const double lineShare = line.flasher.cpu / line.flasher.wall;
    std::printf(
        "  flasher CPU share: %.2f %% for %d boards (%.3f s of %.3f s), %.2f %% for one; "
        "%.2f x the single board's (target < %d x)\n",
        100 * lineShare, kBoards, line.flasher.cpu, line.flasher.wall, 100 * aloneShare,
        lineShare / aloneShare, kBoards);
    std::filesystem::remove_all(folder);
    return 0;
}
