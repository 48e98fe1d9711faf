// SPDX-License-Identifier: MIT
// Figures for the desktop program's start-up: the time from process start to the window's first
// paint, and the resident memory once it is shown; medians of 10 runs on an X display (a virtual
// one under xvfb-run when there is none). Each run is a child process that starts the window
// exactly as tevr-loader does; the time counts from just before the child is started.
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <QEvent>
#include <QTimer>

#include "app/qt/Startup.h"
#include "app/qt/Unit1.h"
#include "base/ScopedFd.h"

namespace {

constexpr int kRuns = 10;
constexpr double kTargetMs = 300;
constexpr double kTargetMb = 60;

long long MonotonicNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

// Reports once the window's first paint has been done and flushed.
class FirstPaint : public QObject {
public:
    FirstPaint(TForm1& form, int fd) : form_(form), fd_(fd) { form.installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            QTimer::singleShot(0, &form_, [this] { Report(); });
        }
        return false;
    }

private:
    void Report() {
        const long long at = MonotonicNs();
        char line[64];
        const int n = std::snprintf(line, sizeof line, "%lld %ld\n", at, ResidentKb());
        (void)!write(fd_.Get(), line, static_cast<size_t>(n));
        fd_.Reset();
        form_.close();
    }

    TForm1& form_;
    ScopedFd fd_;
    bool seen_ = false;
};

int Child(int fd, char* program) {
    int argc = 1;
    char* argv[] = {program, nullptr};
    std::unique_ptr<FirstPaint> watch;
    return RunTevrLoader(argc, argv,
                         [&](TForm1& form) { watch = std::make_unique<FirstPaint>(form, fd); });
}

struct Run {
    double ms;
    double mb;
};

bool OneRun(const char* self, Run& run) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    ScopedFd readEnd(fds[0]);
    ScopedFd writeEnd(fds[1]);
    const long long start = MonotonicNs();
    const pid_t pid = fork();
    if (pid == 0) {
        readEnd.Reset();
        const std::string fd = std::to_string(writeEnd.Get());
        execl(self, self, "--child", fd.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    writeEnd.Reset();
    std::string text;
    char buffer[128];
    for (ssize_t n; (n = read(readEnd.Get(), buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(n));
    readEnd.Reset();
    int status = 0;
    waitpid(pid, &status, 0);
    long long paintedAt = 0;
    long kb = 0;
    if (std::sscanf(text.c_str(), "%lld %ld", &paintedAt, &kb) != 2) return false;
    run.ms = static_cast<double>(paintedAt - start) / 1e6;
    run.mb = static_cast<double>(kb) / 1024;
    return true;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void Print(const char* what, const std::vector<double>& values, const char* unit, double target) {
    const double median = Median(values);
    std::printf("  %-36s median %7.1f %s  (min %.1f, max %.1f)  target under %.0f %s%s\n", what,
                median, unit, *std::min_element(values.begin(), values.end()),
                *std::max_element(values.begin(), values.end()), target, unit,
                median < target ? "" : "  OVER TARGET");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--child") == 0)
        return Child(std::atoi(argv[2]), argv[0]);

    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) return 1;
    self[length] = '\0';
    if (!std::getenv("DISPLAY")) {
        // No display: the same benchmark again on a virtual one.
        execlp("xvfb-run", "xvfb-run", "-a", "-s", "-screen 0 1024x768x24", self,
               static_cast<char*>(nullptr));
        std::fprintf(stderr, "bench_startup: no DISPLAY and xvfb-run cannot be started\n");
        return 1;
    }
    setenv("QT_QPA_PLATFORM", "xcb", 1);

    std::vector<double> ms;
    std::vector<double> mb;
    for (int i = 0; i < kRuns; ++i) {
        Run run{};
        if (!OneRun(self, run)) {
            std::fprintf(stderr, "bench_startup: run %d gave no figures\n", i + 1);
            return 1;
        }
        ms.push_back(run.ms);
        mb.push_back(run.mb);
    }
    std::printf("bench_startup: %d starts of the window on display %s\n", kRuns,
                std::getenv("DISPLAY"));
    Print("process start to first paint:", ms, "ms", kTargetMs);
    Print("resident memory after start-up:", mb, "MB", kTargetMb);
    return 0;
}
