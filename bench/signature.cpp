// SPDX-License-Identifier: MIT
// Time of the release-signature check of a 64 KiB image's update file before a flash: reading
// FILE.minisig and verifying it over the bytes read (a current, prehashed signature and a legacy
// one), and the file's SHA-256 for the journal. The release is signed by minisign here.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "files/SystemFile.h"
#include "files/UpdateFiles.h"
#include "release/Crypto.h"
#include "release/ReleaseSignature.h"
#include "support/ReleaseSigning.h"

namespace {
constexpr int kRuns = 200;

void Measure(const char* what, size_t bytes, const std::function<void()>& work) {
    work();  // the library started, the file in the page cache
    std::vector<double> ms;
    for (int i = 0; i < kRuns; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%s, %zu-byte update file: median %.3f ms, min %.3f ms, max %.3f ms over %d runs\n",
                what, bytes, ms[ms.size() / 2], ms.front(), ms.back(), kRuns);
}
}  // namespace

int main() {
    const TempFolder folder;
    const SigningKey key = MakeSigningKey(folder, "release");
    const std::string file =
        folder.Write("image-64k.hex", ReadFileBytes(TEVR_SOURCE_DIR "/examples/image-64k.hex"));
    const std::string bytes = ReadFileBytes(file);
    const SignaturePolicy policy{{ParsePublicKey(ReadFileBytes(key.publicKeyFile))}, true};

    SignRelease(key, file, "ТЕВР-R7 2.3.1");
    Measure("check a release signature (prehashed)", bytes.size(),
            [&] { CheckReleaseSignature(file, bytes, policy); });
    SignRelease(key, file, "ТЕВР-R7 2.3.1", true);
    Measure("check a release signature (legacy)", bytes.size(),
            [&] { CheckReleaseSignature(file, bytes, policy); });
    Measure("SHA-256 of the file", bytes.size(), [&] { Sha256Of(bytes); });
    return 0;
}
