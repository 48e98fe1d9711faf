// SPDX-License-Identifier: MIT
// Any signature file and any update file, NUL between them: the check either refuses them or
// accepts exactly what the trusted key signed (the one firmware of the corpus, with one of its
// two trusted comments); a forgery that passes, or a crash, is a fault. The same input as a
// trusted-keys file gives keys that are never all zero.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "release/ReleaseSignature.h"

namespace {
void Check(bool condition) {
    if (!condition) std::abort();
}

// The key that signed the corpus's firmware (minisign -G -W), and what it signed.
const std::string kKey = "RWTrTX9mOg7makTYoY0DP6VSXNH1x6dW+QfHw7rMXi8X3esgt4MrTiht";
const std::string kFirmware = ":020000000102FB\r\n:00000001FF\r\n";
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    try {
        for (const TrustedKey& key : ParseTrustedKeys(input))
            Check(std::any_of(key.key.begin(), key.key.end(), [](uint8_t b) { return b != 0; }));
    } catch (const EKeyError&) {
    }

    const size_t split = input.find('\0');
    const std::string_view signature = input.substr(0, split);
    const std::string_view bytes =
        split == std::string_view::npos ? std::string_view() : input.substr(split + 1);
    static const std::vector<TrustedKey> trusted{ParsePublicKey(kKey)};
    try {
        const ReleaseSignature release = VerifyReleaseSignature(bytes, signature, trusted);
        Check(bytes == kFirmware);
        Check(release.keyId == "6AE60E3A667F4DEB");
        Check(release.trustedComment == "ТЕВР-R7 2.3.1" ||
              release.trustedComment == "ТЕВР-R7 2.3.0");
    } catch (const ESignatureError&) {
    }
    return 0;
}
