// SPDX-License-Identifier: MIT
// tevr-flash plan: what a flash of the update file would do, without a port: the data it holds,
// the frames it becomes and their time on the line.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/HexDigits.h"
#include "base/Translation.h"
#include "cli/Command.h"
#include "cli/ReleaseCheck.h"
#include "cli/SubjectError.h"
#include "cli/TextTable.h"
#include "loader/TransferPlan.h"
#include "loader/UpdateImage.h"
#include "words/Words.h"

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

// The labels' column is as wide as the widest label of the language, plus two.
std::string Rows(const std::vector<std::pair<std::string, std::string>>& rows) {
    size_t width = 0;
    for (const auto& [label, value] : rows)
        width = std::max(width, TextWidth(label));
    std::string text;
    for (const auto& [label, value] : rows)
        text += label + std::string(width + 2 - TextWidth(label), ' ') + value + '\n';
    return text;
}

struct PlanArguments {
    std::string file;
    std::vector<std::string> trustedKeys;
};

std::string ReleaseRow(const PreparedUpdate& prepared) {
    if (prepared.release) return PrintableReleaseText(*prepared.release);
    return prepared.keysTrusted ? Tr("not signed") : Tr("signature not checked: no key is trusted");
}

std::string PlanText(const PlanArguments& args) {
    const std::string& file = args.file;
    UpdateDemands demands;
    demands.signature = SignatureRule::WhereFound;
    demands.extraKeys = ArgumentKeys(args.trustedKeys);
    // Read once: the hash, the signature, the image and the frames all describe the same bytes.
    // A flash would refuse it as the preparation does, before anything else.
    FileDigest digest;
    demands.digested = [&digest](const FileDigest& taken) { digest = taken; };
    ConvertedUpdate lists;
    const PreparedUpdate prepared = PrepareRelease(file, demands, lists);
    const UpdateImage image = About(file, [&] { return ParseUpdateImage(prepared.bytes); });
    const TransferPlan plan = About(file, [&] { return PlanTransfer(lists.transferScript); });

    std::vector<std::pair<std::string, std::string>> rows;
    rows.emplace_back(Tr("file"),
                      file + " (" + ByteCountText(static_cast<int64_t>(digest.size)) + ")");
    rows.emplace_back("SHA-256", digest.sha256);
    rows.emplace_back(Tr("release"), ReleaseRow(prepared));
    const std::vector<AddressRange> ranges = DefinedRanges(image);
    for (size_t i = 0; i < ranges.size(); ++i) {
        const AddressRange& range = ranges[i];
        rows.emplace_back(i == 0 ? Tr("data") : "",
                          "0x" + HexDigits(range.first, 4) + "-0x" + HexDigits(range.last, 4) +
                              "  " + ByteCountText(range.last - range.first + 1));
    }
    rows.emplace_back(Tr("bytes"),
                      Fill(TrN("%1 in %2 range", "%1 in %2 ranges", ranges.size()),
                           {std::to_string(image.DefinedCount()), std::to_string(ranges.size())}));
    rows.emplace_back(Tr("pages"), PlanPagesText(plan));
    rows.emplace_back(Tr("blocks"), PlanBlocksText(plan));
    rows.emplace_back(Tr("on the line"), PlanLineText(plan));
    return Rows(rows);
}
}  // namespace

void AddPlanCommand(CLI::App& app, CommandIo& io, CommandAction& action) {
    auto args = std::make_shared<PlanArguments>();
    CLI::App* sub = app.add_subcommand(
        "plan", Tr("Show what a flash of an update file would do, without a port."));
    sub->footer(
        Tr("Prints the file's size and SHA-256 (the value for --expect-sha256), the address\n"
           "ranges it defines, the page and block commands it becomes and the least time\n"
           "they take on the line: every byte sent and every answer of the device, 10 bits\n"
           "each at 10400 bit/s (the echo overlaps what is sent). A release signature\n"
           "FILE.minisig is checked as flash checks it, and the release it names shown."));
    sub->add_option("FILE", args->file, Tr("the update file (*.hex)"))->required();
    sub->add_option("--trusted-key", args->trustedKeys,
                    Tr("trust release signatures made with this minisign public key: its text "
                       "or a .pub file; again for more keys"))
        ->type_name("KEY")
        ->allow_extra_args(false);
    sub->callback([args, &io, &action] {
        action = [args, &io] {
            WriteOutput(io.out, PlanText(*args));
            return 0;
        };
    });
}
