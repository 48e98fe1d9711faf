// SPDX-License-Identifier: MIT
// tevr-flash verify: does a saved memory image hold the update file's bytes?
#include <CLI/CLI.hpp>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Translation.h"
#include "cli/Command.h"
#include "cli/ImageCheck.h"
#include "cli/SubjectError.h"
#include "files/SystemFile.h"
#include "loader/TextFile.h"

namespace {
struct VerifyArguments {
    std::string file;
    std::string image;
};

std::vector<uint8_t> ReadImage(const std::string& path) {
    const std::string bytes = About(path, [&] { return ReadFileBytes(path); });
    return {bytes.begin(), bytes.end()};
}
}  // namespace

void AddVerifyCommand(CLI::App& app, CommandIo& io, CommandAction& action) {
    auto args = std::make_shared<VerifyArguments>();
    CLI::App* sub = app.add_subcommand(
        "verify",
        Tr("Check that a memory image holds every byte of an update file at its address."));
    sub->add_option("FILE", args->file, Tr("the update file (*.hex)"))->required();
    sub->add_option("IMAGE", args->image,
                    Tr("the memory image: raw bytes from address 0, as bk-sim --image saves it"))
        ->required();
    sub->callback([args, &io, &action] {
        action = [args, &io] {
            const std::vector<uint8_t> image = ReadImage(args->image);
            const ImageComparison comparison =
                About(args->file, [&] { return CompareImageWithUpdateFile(args->file, image); });
            const std::string line = DescribeComparison(comparison, args->file);
            if (comparison.bytesDiffering != 0) throw SubjectError(args->image, line);
            WriteOutput(io.out, line + "\n");
            return 0;
        };
    });
}
