// SPDX-License-Identifier: MIT
// tevr-flash plan: what a flash of the update file would do, without a port: the data it holds,
// the frames it becomes and their time on the line.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/HexDigits.h"
#include "cli/Command.h"
#include "cli/Sha256.h"
#include "cli/SubjectError.h"
#include "loader/Conversion.h"
#include "loader/TextFile.h"
#include "loader/TransferPlan.h"
#include "loader/UpdateImage.h"

namespace {
struct AddressRange {
    uint32_t first = 0;
    uint32_t last = 0;
};

std::vector<AddressRange> DefinedRanges(const UpdateImage& image) {
    std::vector<AddressRange> ranges;
    for (uint32_t address = 0; address < UpdateImage::kSize; ++address) {
        if (!image.Defined(address)) continue;
        if (!ranges.empty() && ranges.back().last + 1 == address)
            ranges.back().last = address;
        else
            ranges.push_back({address, address});
    }
    return ranges;
}

std::string Row(const std::string& label, const std::string& value) {
    constexpr size_t kLabelWidth = 13;
    return label + std::string(kLabelWidth - label.size(), ' ') + value + '\n';
}

std::string Fixed(double value, int decimals) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string Plural(int64_t count, const std::string& word) {
    return std::to_string(count) + ' ' + word + (count == 1 ? "" : "s");
}

std::string PlanText(const std::string& file) {
    // Read once: the hash, the image and the frames all describe the same bytes.
    const std::string bytes = About(file, [&] { return ReadFileBytes(file); });
    const FileDigest digest = DigestBytes(bytes);
    const UpdateImage image = About(file, [&] { return ParseUpdateImage(bytes); });
    ConvertedUpdate lists;
    NullGauge gauge;
    About(file, [&] { ConvertUpdateBytes(bytes, lists, gauge); });
    const TransferPlan plan = About(file, [&] { return PlanTransfer(lists.transferScript); });

    std::string text =
        Row("file", file + " (" + Plural(static_cast<int64_t>(digest.size), "byte") + ")");
    text += Row("SHA-256", digest.sha256);
    const std::vector<AddressRange> ranges = DefinedRanges(image);
    for (size_t i = 0; i < ranges.size(); ++i) {
        const AddressRange& range = ranges[i];
        text += Row(i == 0 ? "data" : "", "0x" + HexDigits(range.first, 4) + "-0x" +
                                              HexDigits(range.last, 4) + "  " +
                                              Plural(range.last - range.first + 1, "byte"));
    }
    text += Row("bytes", std::to_string(image.DefinedCount()) + " in " +
                             Plural(static_cast<int64_t>(ranges.size()), "range"));
    text += Row("pages", Plural(plan.pages, "page command") + " (" +
                             std::to_string(UpdateImage::kPageSize) + " bytes a page)");
    text += Row("blocks", Plural(plan.blocks, "block command") + " (" +
                              std::to_string(UpdateImage::kBlockSize) + " data bytes each)");
    text +=
        Row("on the line", Plural(plan.frameBytes, "byte") + " sent, " +
                               Plural(plan.answers, "answer") + ": at least " +
                               Fixed(plan.Seconds(), 1) + " s at " + Fixed(kLineBitsPerSecond, 0) +
                               " bit/s, " + Fixed(kLineBitsPerByte, 0) + " bits a byte");
    return text;
}
}  // namespace

void AddPlanCommand(CLI::App& app, CommandIo& io, CommandAction& action) {
    auto file = std::make_shared<std::string>();
    CLI::App* sub =
        app.add_subcommand("plan", "Show what a flash of an update file would do, without a port.");
    sub->footer(
        "Prints the file's size and SHA-256 (the value for --expect-sha256), the address\n"
        "ranges it defines, the page and block commands it becomes and the least time\n"
        "they take on the line: every byte sent and every answer of the device, 10 bits\n"
        "each at 10400 bit/s (the echo overlaps what is sent).");
    sub->add_option("FILE", *file, "the update file (*.hex)")->required();
    sub->callback([file, &io, &action] {
        action = [file, &io] {
            WriteOutput(io.out, PlanText(*file));
            return 0;
        };
    });
}
