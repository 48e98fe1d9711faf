// SPDX-License-Identifier: MIT
// Any bytes as an update file: the conversion either refuses them as a fault with its data (never
// a field without characters) and leaves no script, or gives a script that, played as the device
// takes it, puts every byte the file defines at its address, with whole blocks at their base and
// nothing past FFFF.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "base/ScopedFd.h"
#include "files/FileConversion.h"
#include "loader/Conversion.h"
#include "loader/Errors.h"
#include "loader/HexField.h"
#include "loader/TextFile.h"

namespace {
class NoGauge : public ProgressGauge {
public:
    void SetMaxValue(int32_t value) override { max = value; }
    int32_t Progress() const override { return 0; }
    void SetProgress(int32_t) override {}
    int32_t max = -1;
};

void Check(bool condition) {
    if (!condition) std::abort();
}

unsigned Hex(std::string_view line, size_t at, size_t digits) {
    int32_t value = 0;
    Check(at + digits <= line.size() && TryHexFieldToInt(line.substr(at, digits), value));
    return static_cast<unsigned>(value);
}

// The memory an accepted update file defines, read from its records without the conversion's
// own code: address -> byte.
std::map<unsigned, uint8_t> DefinedMemory(const std::string& path) {
    std::map<unsigned, uint8_t> memory;
    TextFile file(path);
    std::string line;
    unsigned base = 0;
    do {
        file.ReadLine(line);
        if (line.find_first_not_of(" \t") == std::string::npos) continue;  // a blank line
        const unsigned length = Hex(line, 1, 2);
        const unsigned address = Hex(line, 3, 4);
        const unsigned type = Hex(line, 7, 2);
        if (type == 1) break;
        const unsigned value = length == 2 ? Hex(line, 9, 4) : 0;
        if (type == 2) base = value << 4;
        if (type == 4) base = value << 16;
        if (type != 0) continue;
        for (unsigned i = 0; i < length; ++i) {
            const auto byte = static_cast<uint8_t>(Hex(line, 9 + 2 * i, 2));
            const auto [at, added] = memory.emplace(base + address + i, byte);
            Check(at->first < 0x10000 && at->second == byte);  // within reach, and no conflict
        }
    } while (!file.Eof());
    return memory;
}

// Plays the script as the device takes it: each block command writes 128 bytes from its
// address, the bytes after the line's data being the fill 0xFF.
std::vector<uint8_t> Replay(const std::vector<std::string>& script) {
    std::vector<uint8_t> memory(0x10000, 0xFF);
    unsigned page = 0;
    int lastBlock = -1;
    for (size_t i = 0; i < script.size(); ++i) {
        const std::string& line = script[i];
        Check(line.size() >= 11 && line.compare(0, 4, "cmd ") == 0 && line[6] == ':');
        const unsigned address = Hex(line, 7, 4);
        if (line.compare(4, 2, "01") == 0) {
            Check(line.size() == 11 && address % 0x200 == 0);
            Check(i + 1 < script.size() && script[i + 1].compare(4, 2, "02") == 0);
            page = address;
            continue;
        }
        Check(line.compare(4, 2, "02") == 0 && line.size() >= 15);
        const unsigned count = Hex(line, 12, 2);
        Check(count <= 0x80 && line.size() == 15 + 2 * size_t{count});
        // Blocks at their base, in address order, inside the page opened before them.
        Check(address % 0x80 == 0 && (address & ~0x1FFu) == page);
        Check(static_cast<int>(address) > lastBlock);
        lastBlock = static_cast<int>(address);
        for (unsigned k = 0; k < 0x80; ++k)
            memory[address + k] = k < count ? static_cast<uint8_t>(Hex(line, 15 + 2 * k, 2)) : 0xFF;
    }
    return memory;
}

void CheckScript(const ConvertedUpdate& lists, const NoGauge& gauge, const std::string& path) {
    Check(lists.recordList.empty());
    Check(!lists.transferScript.empty() && lists.transferScript[0] == "cmd 01:0000");
    Check(lists.ScriptLineCount == static_cast<int64_t>(lists.transferScript.size()));
    Check(gauge.max == lists.ScriptLineCount - 1);
    const std::vector<uint8_t> device = Replay(lists.transferScript);
    const std::map<unsigned, uint8_t> defined = DefinedMemory(path);
    Check(!defined.empty());
    for (const auto& [address, byte] : defined)
        Check(device[address] == byte);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ScopedFd file(memfd_create("update.hex", MFD_CLOEXEC));
    if (!file.Valid()) return 0;
    const int fd = file.Get();
    size_t written = 0;
    while (written < size) {
        ssize_t n = write(fd, data + written, size - written);
        if (n <= 0) break;
        written += static_cast<size_t>(n);
    }
    const std::string path = "/proc/self/fd/" + std::to_string(fd);

    ConvertedUpdate lists;
    NoGauge gauge;
    try {
        ConvertUpdateFile(path, lists, gauge);
        CheckScript(lists, gauge, path);
    } catch (const EConvertError& refused) {
        Check(lists.recordList.empty() && lists.transferScript.empty() &&
              lists.ScriptLineCount == 0);
        // A field is refused for its characters; one the line ends before is a short line.
        Check(refused.Problem().fault != ConversionFault::NotANumber ||
              !refused.Problem().text.empty());
    } catch (const EInOutError&) {
        Check(lists.recordList.empty() && lists.transferScript.empty() &&
              lists.ScriptLineCount == 0);
    }
    return 0;
}
