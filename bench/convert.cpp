// Time of one conversion of a 64 KiB image (4096 records of 16 bytes), file reading included.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "loader/Conversion.h"

int main() {
    const std::string file = std::string(TEVR_SOURCE_DIR) + "/examples/image-64k.hex";
    constexpr int kRuns = 200;
    UpdateLists lists;
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
        "convert 64 KiB image (%lld script lines): median %.3f ms, min %.3f ms, max %.3f ms "
        "over %d runs (target < 5 ms)\n",
        static_cast<long long>(lists.ScriptLineCount), ms[ms.size() / 2], ms.front(), ms.back(),
        kRuns);
    return 0;
}
