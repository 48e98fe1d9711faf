// SPDX-License-Identifier: MIT
// Time of one conversion of a 64 KiB image (4096 records of 16 bytes), file reading included: the
// records in address order, and the same records shuffled, as tool chains that place segments
// and vectors in their own order write them.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "base/ScopedFd.h"
#include "files/FileConversion.h"
#include "loader/Conversion.h"

namespace {
constexpr int kRuns = 200;

// Median, min and max over kRuns conversions, in milliseconds.
void Measure(const char* what, const std::string& file, double targetMs) {
    ConvertedUpdate lists;
    NullGauge gauge;
    ConvertUpdateFile(file, lists, gauge);  // warms the page cache and the allocator
    std::vector<double> ms;
    ms.reserve(kRuns);
    for (int i = 0; i < kRuns; ++i) {
        auto start = std::chrono::steady_clock::now();
        ConvertUpdateFile(file, lists, gauge);
        auto end = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf(
        "convert 64 KiB image, %s (%lld script lines): median %.3f ms, min %.3f ms, max %.3f ms "
        "over %d runs (target < %.0f ms)\n",
        what, static_cast<long long>(lists.ScriptLineCount), ms[ms.size() / 2], ms.front(),
        ms.back(), kRuns, targetMs);
}

// The data records of `file` in a fixed random order, the end-of-file record last.
std::string ShuffledCopy(const std::string& file) {
    std::ifstream in(file);
    std::vector<std::string> records;
    std::string end;
    for (std::string line; std::getline(in, line);) {
        if (line.compare(7, 2, "01") == 0) {
            end = line;
        } else {
            records.push_back(line);
        }
    }
    std::shuffle(records.begin(), records.end(), std::mt19937(42));
    char path[] = "/tmp/tevr-bench-shuffled-XXXXXX";
    if (!ScopedFd(::mkstemp(path)).Valid()) std::abort();
    std::ofstream out(path);
    for (const std::string& line : records)
        out << line << '\n';
    out << end << '\n';
    return path;
}
}  // namespace

int main() {
    const std::string file = std::string(TEVR_SOURCE_DIR) + "/examples/image-64k.hex";
    Measure("records in address order", file, 5);
    const std::string shuffled = ShuffledCopy(file);
    Measure("records shuffled", shuffled, 10);
    ::unlink(shuffled.c_str());
    return 0;
}
