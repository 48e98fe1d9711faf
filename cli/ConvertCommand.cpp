// SPDX-License-Identifier: MIT
// tevr-flash convert: the update file's transfer script (or its record list) on standard output.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>
#include <vector>

#include "base/Translation.h"
#include "cli/Command.h"
#include "cli/SubjectError.h"
#include "files/FileConversion.h"
#include "loader/Conversion.h"
#include "loader/RecordList.h"

namespace {
std::string JoinLines(const std::vector<std::string>& lines) {
    size_t size = 0;
    for (const auto& line : lines)
        size += line.size() + 1;
    std::string text;
    text.reserve(size);
    for (const auto& line : lines)
        text.append(line).push_back('\n');
    return text;
}

struct ConvertOptions {
    std::string file;
    bool records = false;
};
}  // namespace

void AddConvertCommand(CLI::App& app, CommandIo& io, CommandAction& action) {
    auto options = std::make_shared<ConvertOptions>();
    CLI::App* sub = app.add_subcommand(
        "convert", Tr("Convert an Intel HEX update file and print its transfer script."));
    sub->add_option("FILE", options->file, Tr("the update file (*.hex)"))->required();
    sub->add_flag("--records", options->records,
                  Tr("print the record list instead of the transfer script: the file's\n"
                     "data in address order, whatever the order of its records"));
    sub->callback([options, &io, &action] {
        action = [options, &io] {
            const std::vector<std::string> lines = About(options->file, [&] {
                if (options->records) return ReadRecordList(options->file);
                ConvertedUpdate lists;
                NullGauge gauge;
                ConvertUpdateFile(options->file, lists, gauge);
                return std::move(lists.transferScript);
            });
            WriteOutput(io.out, JoinLines(lines));
            return 0;
        };
    });
}
