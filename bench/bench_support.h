// SPDX-License-Identifier: MIT
#pragma once
// What the transfer benchmarks share: the working folder with its 8 KiB update file, the moments a
// paced simulator reports, the wire time of its transfer, the flasher program run as a child with
// its CPU time, and the Windows build's flasher run under Wine.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/HexDigits.h"
#include "loader/TransferPlan.h"
#include "sim/BootLoaderSim.h"

extern char** environ;

namespace bench {

using Clock = std::chrono::steady_clock;

constexpr int kImageBytes = 8 * 1024;

// An update file of kImageBytes bytes from address 0, in 16-byte records.
inline void WriteImageFile(const std::string& path) {
    std::ofstream out(path);
    uint32_t seed = 12345;
    for (int address = 0; address < kImageBytes; address += 16) {
        unsigned sum = 16 + (address >> 8) + (address & 0xFF);
        std::string line = ":10" + HexDigits(static_cast<uint32_t>(address), 4) + "00";
        for (int i = 0; i < 16; ++i) {
            seed = seed * 1103515245u + 12345u;
            const unsigned byte = (seed >> 16) & 0xFF;
            line += HexDigits(byte, 2);
            sum += byte;
        }
        out << line << HexDigits((0x100 - (sum & 0xFF)) & 0xFF, 2) << '\n';
    }
    out << ":00000001FF\n";
}

// A benchmark's working folder under /tmp holding the 8 KiB update file.
struct Workbench {
    std::filesystem::path folder;
    std::string file;
};

// Checks that the flasher is built and writes the update file into a fresh folder; says why on
// stderr and returns nothing when either fails.
inline std::optional<Workbench> PrepareWorkbench(const char* bench, const std::string& flasher) {
    if (!std::filesystem::exists(flasher)) {
        std::fprintf(stderr, "%s: %s is not built\n", bench, flasher.c_str());
        return std::nullopt;
    }
    char folderName[] = "/tmp/tevr-bench-XXXXXX";
    if (!mkdtemp(folderName)) {
        std::fprintf(stderr, "%s: no folder under /tmp\n", bench);
        return std::nullopt;
    }
    Workbench work{folderName, (std::filesystem::path(folderName) / "image-8k.hex").string()};
    WriteImageFile(work.file);
    return work;
}

// The moments a simulator reports, taken on its own thread.
struct Moments {
    std::mutex mutex;
    bool greeted = false;
    std::optional<Clock::time_point> secondGreeting;
    std::optional<Clock::time_point> endCommand;

    void Note(const std::string& text) {
        const auto now = Clock::now();
        std::lock_guard lock(mutex);
        if (text == "greeting answered") greeted = true;
        if (text.rfind("end command after", 0) == 0 && !endCommand) endCommand = now;
    }
    // Of every answer of the device after its second greeting: how long the tool took from its
    // writing to the next bytes read from the tool (the first is the wait before the first page
    // command).
    std::vector<Clock::duration> reactions;
    std::optional<Clock::time_point> answered;

    void Trace(const std::string& text) {
        const auto now = Clock::now();
        std::lock_guard lock(mutex);
        if (greeted && !secondGreeting && text == "device: AA") secondGreeting = now;
        if (!secondGreeting || endCommand) return;
        if (text.rfind("device: ", 0) == 0) {
            answered = now;
        } else if (text.rfind("tool: ", 0) == 0 && answered) {
            reactions.push_back(now - *answered);
            answered.reset();
        }
    }
    // Options of a paced simulator that reports here.
    SimOptions PacedOptions() {
        SimOptions options;
        options.pace = true;
        options.note = [this](const std::string& text) { Note(text); };
        options.trace = [this](const std::string& text) { Trace(text); };
        return options;
    }
    bool Complete() {
        std::lock_guard lock(mutex);
        return secondGreeting && endCommand;
    }
    // From the device's second greeting 0xAA to the end command.
    double TransferSeconds() {
        std::lock_guard lock(mutex);
        return std::chrono::duration<double>(*endCommand - *secondGreeting).count();
    }
};

// The least time the transfer needs on the wire: every byte the tool sent after its greeting
// answer, its echo overlapping, and one answer byte for each page and block command (line 0
// of the script stands for the first page command).
inline double WireSeconds(const BootLoaderSim& sim, int64_t scriptLines) {
    return LineSeconds(static_cast<int64_t>(sim.Received().size()) - 3, scriptLines);
}

inline double Seconds(const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

struct ChildRun {
    int status = -1;  // the wait status; -1 when it did not start
    double wall = 0;  // seconds from start to end
    double cpu = 0;   // user and system seconds
    bool Succeeded() const { return status >= 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0; }
};

// Runs `args` with standard output to /dev/null and standard error to `log`, and waits.
inline ChildRun RunChild(std::vector<std::string> args, const std::string& log) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    ChildRun run;
    const auto started = Clock::now();
    pid_t pid = -1;
    const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) return run;
    rusage usage{};
    wait4(pid, &run.status, 0, &usage);
    run.wall = std::chrono::duration<double>(Clock::now() - started).count();
    run.cpu = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    return run;
}

// tevr-flash.exe of the Windows build (TEVR_WINDOWS_BUILD, else build-win/ of the source tree)
// under Wine, in a prefix of the benchmark's own beside the tests' (tests/wine/wine_prefix.sh),
// whose COM4 leads to Link(). The prefix's Wine processes end with the object.
class WineFlasher {
public:
    WineFlasher() {
        const char* build = std::getenv("TEVR_WINDOWS_BUILD");
        build_ = build ? build : TEVR_SOURCE_DIR "/build-win";
        prefix_ = build_ + "/wine-bench";
    }
    ~WineFlasher() {
        if (ready_) RunChild({script_, "stop", prefix_}, "/dev/null");
    }
    WineFlasher(const WineFlasher&) = delete;
    WineFlasher& operator=(const WineFlasher&) = delete;

    std::string Program() const { return build_ + "/tevr-flash.exe"; }
    // Makes the prefix afresh; false (with a log to look at) when that failed.
    bool Prepare(const std::string& log) {
        ready_ = RunChild({script_, "setup", prefix_, prefix_ + "-lines"}, log).Succeeded();
        return ready_;
    }
    // Where the simulator's link goes for the program to reach it as `Port()`.
    std::string Link() const { return prefix_ + "-lines/com4"; }
    static const char* Port() { return "COM4"; }
    // The command that runs the program with `args` under Wine.
    std::vector<std::string> Command(const std::vector<std::string>& args) const {
        std::vector<std::string> command{script_, "run", prefix_, Program()};
        command.insert(command.end(), args.begin(), args.end());
        return command;
    }

private:
    std::string script_ = TEVR_SOURCE_DIR "/tests/wine/wine_prefix.sh";
    std::string build_;
    std::string prefix_;
    bool ready_ = false;
};

}  // namespace bench
