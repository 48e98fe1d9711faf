// SPDX-License-Identifier: MIT
// tevr-flash beside a plain flasher in one run: the same 8 KiB image, each run against a fresh
// paced simulator (in-process, so that its moments are exact), the two flashers taking turns
// (ABBA, so that a drift of the machine's load hits both alike). The plain flasher is
// bench/plain_flasher.py: one thread, blocking reads, os and termios only. Prints, for each, the
// median overhead over the wire time (the transfer time from the device's second greeting 0xAA to
// the end command, less the time the bytes alone need on the line) and what it is made of: the
// wait before the first page command, the flasher's answers to the device (from an answer leaving
// the simulator to the next frame reaching it; all of a run's together, and each one's median),
// and the rest, the line's own delays; then whether tevr-flash's overhead is at most the plain
// flasher's (the target).
// Usage: bench_side_by_side [--runs N] [--tevr-flash PATH]   (N runs of each, 5 by default;
// PATH: another build's tevr-flash, to compare a change)
#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "bench_support.h"
#include "files/FileConversion.h"
#include "loader/Conversion.h"

using namespace bench;
using namespace std::chrono_literals;

namespace {

struct Flasher {
    Flasher(const char* flasherName, std::vector<std::string> flasherCommand)
        : name(flasherName), command(std::move(flasherCommand)) {}

    const char* name;
    std::vector<std::string> command;  // the port is added behind it
    std::vector<double> overheads;     // seconds, run by run
    std::vector<double> ratios;        // transfer time over wire time
    std::vector<double> waits;         // seconds from the device's 0xAA to the first page command
    std::vector<double> reactions;     // seconds from an answer to the next frame, every run's
    std::vector<double> reacting;      // seconds of all a run's reactions together, run by run
    // Seconds of the overhead neither in the wait nor in the reactions: the line's own delays
    // (the simulator's late wake-ups, the pseudo-terminal's hand-on), run by run.
    std::vector<double> rests;
};

// /usr/bin/python3, or the first python3 on the PATH; empty when there is none.
std::string FindPython() {
    if (access("/usr/bin/python3", X_OK) == 0) return "/usr/bin/python3";
    const char* path = std::getenv("PATH");
    std::string rest = path ? path : "";
    while (!rest.empty()) {
        const size_t colon = rest.find(':');
        const std::string dir = rest.substr(0, colon);
        rest = colon == std::string::npos ? "" : rest.substr(colon + 1);
        const std::string candidate = (dir.empty() ? "." : dir) + "/python3";
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return "";
}

// One transfer of `flasher` against a fresh paced simulator; false when it failed.
bool RunOnce(Flasher& flasher, const std::filesystem::path& folder, int64_t scriptLines, int run) {
    Moments moments;
    SimOptions options = moments.PacedOptions();
    options.linkPath = (folder / ("line" + std::to_string(run))).string();
    BootLoaderSim sim(options);
    // The simulator stands for the device, whose answers leave on time: without the default
    // timer slack its wake-ups are not 50 us late each, a delay both flashers would share.
    // Its thread inherits the slack; the flashers do not.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    sim.Start();
    prctl(PR_SET_TIMERSLACK, 0UL, 0UL, 0UL, 0UL);
    std::vector<std::string> command = flasher.command;
    command.push_back(options.linkPath);
    const std::string log = (folder / "flash.err").string();
    const ChildRun child = RunChild(command, log);
    sim.WaitForOutcome(10s);
    sim.Stop();
    if (!child.Succeeded() || !moments.Complete()) {
        std::fprintf(stderr, "bench_side_by_side: %s failed (status %d); see %s\n", flasher.name,
                     child.status, log.c_str());
        return false;
    }
    const double wire = WireSeconds(sim, scriptLines);
    const double transfer = moments.TransferSeconds();
    flasher.overheads.push_back(transfer - wire);
    flasher.ratios.push_back(transfer / wire);
    std::lock_guard lock(moments.mutex);
    if (moments.reactions.empty()) return true;
    const auto seconds = [](Clock::duration d) { return std::chrono::duration<double>(d).count(); };
    const double wait = seconds(moments.reactions.front());
    double reacting = 0;
    for (size_t i = 1; i < moments.reactions.size(); ++i) {
        flasher.reactions.push_back(seconds(moments.reactions[i]));
        reacting += flasher.reactions.back();
    }
    flasher.waits.push_back(wait);
    flasher.reacting.push_back(reacting);
    flasher.rests.push_back(transfer - wire - wait - reacting);
    return true;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void PrintRow(const Flasher& flasher) {
    const auto [low, high] =
        std::minmax_element(flasher.overheads.begin(), flasher.overheads.end());
    std::printf("  %-14s overhead median %5.1f ms (%.1f to %.1f), ratio %.4f\n", flasher.name,
                1000 * Median(flasher.overheads), 1000 * *low, 1000 * *high,
                Median(flasher.ratios));
    std::printf(
        "    medians: wait before the first page %.2f ms; answers to next frames %.1f ms "
        "(each %.0f us); the line's own delays %.1f ms\n",
        1000 * Median(flasher.waits), 1000 * Median(flasher.reacting),
        1e6 * Median(flasher.reactions), 1000 * Median(flasher.rests));
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 5;
    std::string tevrFlash = TEVR_BINARY_DIR "/cli/tevr-flash";
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--runs") runs = std::max(1, std::atoi(argv[i + 1]));
        if (option == "--tevr-flash") tevrFlash = argv[i + 1];
    }
    const std::string python = FindPython();
    if (python.empty()) {
        std::fprintf(stderr, "bench_side_by_side: no python3 for the plain flasher\n");
        return 1;
    }
    const auto work = PrepareWorkbench("bench_side_by_side", tevrFlash);
    if (!work) return 1;
    const std::filesystem::path& folder = work->folder;

    ConvertedUpdate lists;
    NullGauge gauge;
    ConvertUpdateFile(work->file, lists, gauge);
    const std::string script = (folder / "image-8k.script").string();
    {
        std::ofstream out(script);
        for (const std::string& line : lists.transferScript)
            out << line << '\n';
    }

    Flasher ours("tevr-flash", {tevrFlash, "flash", work->file, "--port"});
    Flasher plain("plain flasher", {python, TEVR_SOURCE_DIR "/bench/plain_flasher.py", script});
    for (int i = 0; i < runs; ++i) {
        // ABBA: each flasher goes first in every other pair.
        Flasher& first = i % 2 == 0 ? ours : plain;
        Flasher& second = i % 2 == 0 ? plain : ours;
        if (!RunOnce(first, folder, lists.ScriptLineCount, 2 * i)) return 1;
        if (!RunOnce(second, folder, lists.ScriptLineCount, 2 * i + 1)) return 1;
    }
    std::printf(
        "side by side: an 8 KiB image (%zu script lines) with bk-sim --pace, %d runs each, "
        "taking turns\n",
        lists.transferScript.size(), runs);
    PrintRow(ours);
    PrintRow(plain);
    const double oursMedian = Median(ours.overheads);
    const double plainMedian = Median(plain.overheads);
    std::printf("  tevr-flash's overhead %s the plain flasher's (%+.1f ms; target: at most)\n",
                oursMedian <= plainMedian ? "is at most" : "is above",
                1000 * (oursMedian - plainMedian));
    std::filesystem::remove_all(folder);
    return 0;
}
