// Any bytes as an update file: the conversion either refuses them with a message or gives a
// transfer script the transfer can send as it is.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "loader/Conversion.h"
#include "loader/Errors.h"
#include "loader/HexField.h"

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

void CheckScript(const UpdateLists& lists, const NoGauge& gauge) {
    Check(lists.Memo1.empty());
    Check(!lists.Memo2.empty() && lists.Memo2[0] == "cmd 01:0000");
    Check(lists.ScriptLineCount == static_cast<int64_t>(lists.Memo2.size()));
    Check(gauge.max == lists.ScriptLineCount - 1);
    for (const std::string& line : lists.Memo2) {
        Check(line.size() >= 11 && line.compare(0, 4, "cmd ") == 0 && line[6] == ':');
        int32_t address = 0;
        Check(TryHexFieldToInt(std::string_view(line).substr(7, 4), address));
        if (line.compare(4, 2, "01") == 0) {
            Check(line.size() == 11);
            continue;
        }
        Check(line.compare(4, 2, "02") == 0);
        int32_t count = 0;
        Check(line.size() >= 15 && TryHexFieldToInt(std::string_view(line).substr(12, 2), count));
        Check(count <= 0x80 && address % 0x80 + count <= 0x80);
        Check(line.size() == 15 + 2 * static_cast<size_t>(count));
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int fd = memfd_create("update.hex", MFD_CLOEXEC);
    if (fd < 0) return 0;
    size_t written = 0;
    while (written < size) {
        ssize_t n = write(fd, data + written, size - written);
        if (n <= 0) break;
        written += static_cast<size_t>(n);
    }
    const std::string path = "/proc/self/fd/" + std::to_string(fd);

    UpdateLists lists;
    NoGauge gauge;
    try {
        ConvertUpdateFile(path, lists, gauge);
        CheckScript(lists, gauge);
    } catch (const EConvertError&) {
        Check(lists.Memo1.empty() && lists.Memo2.empty() && lists.ScriptLineCount == 0);
    } catch (const EInOutError&) {
        Check(lists.Memo1.empty() && lists.Memo2.empty() && lists.ScriptLineCount == 0);
    }
    close(fd);
    return 0;
}
