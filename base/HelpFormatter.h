// SPDX-License-Identifier: MIT
#pragma once
// Help that fits an 80-column terminal. CLI11 puts option and subcommand descriptions in a column
// but never breaks them, so a long one would run on wherever the terminal cuts it. Descriptions
// and footers are free text that their authors break by hand.
// CLI11's own words (titles, usage errors) are given in the user's language; the programs that use
// this header link tevr_translation.
#include <CLI/CLI.hpp>
#include <cstddef>
#include <memory>
#include <regex>
#include <sstream>
#include <string>

#include "base/Translation.h"

inline constexpr std::size_t kHelpColumns = 80;

// The byte of UTF-8 `line` at which its column `column` begins (its size when it is shorter): a
// Russian letter takes two bytes and one column.
inline std::size_t ByteOfColumn(const std::string& line, std::size_t column) {
    for (std::size_t at = 0; at < line.size(); ++at)
        if ((static_cast<unsigned char>(line[at]) & 0xC0) != 0x80 && column-- == 0) return at;
    return line.size();
}

// Breaks every line of `text` longer than `width` columns at its last space that fits; the
// continuation keeps the line's indentation. A word longer than `width` stays whole on a line of
// its own.
inline std::string WrapHelpText(const std::string& text, std::size_t width) {
    std::string wrapped;
    std::istringstream lines(text);
    std::string line;
    bool first = true;
    while (std::getline(lines, line)) {
        if (!first) wrapped += '\n';
        first = false;
        const std::size_t indent = line.find_first_not_of(' ');
        while (indent != std::string::npos && ByteOfColumn(line, width) < line.size()) {
            const std::size_t limit = ByteOfColumn(line, width);
            std::size_t cut = line.rfind(' ', limit);
            if (cut == std::string::npos || cut <= indent) cut = line.find(' ', limit);
            if (cut == std::string::npos) break;
            const std::size_t rest = line.find_first_not_of(' ', cut);
            if (rest == std::string::npos) {
                line.resize(cut);
                break;
            }
            wrapped.append(line, 0, cut).append(1, '\n');
            line = std::string(indent, ' ') + line.substr(rest);
        }
        wrapped += line;
    }
    if (!text.empty() && text.back() == '\n') wrapped += '\n';
    return wrapped;
}

class HelpFormatter : public CLI::Formatter {
public:
    std::string make_option_desc(const CLI::Option* option) const override {
        return WrapHelpText(CLI::Formatter::make_option_desc(option), DescriptionWidth());
    }
    std::string make_subcommand(const CLI::App* sub) const override {
        std::ostringstream out;
        CLI::detail::format_help(out, sub->get_display_name(true),
                                 WrapHelpText(sub->get_description(), DescriptionWidth()),
                                 get_column_width());
        return out.str();
    }

private:
    std::size_t DescriptionWidth() const { return kHelpColumns - get_column_width(); }
};

// CLI11's usage error in the user's language: its messages have a fixed shape with names and
// values in them, so each known shape is matched and told again; an unknown one stays as it is.
inline std::string UsageErrorText(const std::string& english) {
    struct Shape {
        const char* pattern;
        const char* message;
    };
    const Shape kShapes[] = {
        {"A subcommand is required", Tr("A subcommand is required")},
        {"(.+) is required", Tr("%1 is required")},
        {"The following arguments? (?:was|were) not expected: (.+)", Tr("Unexpected argument: %1")},
        {"Could not convert: (.+) = (.*)", Tr("%1: cannot read \"%2\"")},
        {"(.+): Value (.+) not in range (.+) to (.+)", Tr("%1: %2 is outside the range %3 to %4")},
        {"(.+): (\\d+) required (.+) missing", Tr("%1: the value is missing")},
        {"(.+) requires (.+)", Tr("%1 requires %2")},
        {"(.+) excludes (.+)", Tr("%1 cannot be given together with %2")},
        {"File does not exist: (.+)", Tr("File does not exist: %1")},
    };
    for (const Shape& shape : kShapes) {
        std::smatch match;
        if (!std::regex_match(english, match, std::regex(shape.pattern))) continue;
        std::string args[4];
        for (std::size_t i = 1; i < match.size() && i <= 4; ++i)
            args[i - 1] = match[i].str();
        return Fill(shape.message, {args[0], args[1], args[2], args[3]});
    }
    return english;
}

// Gives `app` (and the subcommands added to it afterwards) the 80-column help, its titles and
// its usage errors in the user's language.
inline void UseHelpFormatter(CLI::App& app) {
    auto formatter = std::make_shared<HelpFormatter>();
    formatter->label("Usage", Tr("Usage"));
    formatter->label("OPTIONS", Tr("OPTIONS"));
    formatter->label("SUBCOMMAND", Tr("SUBCOMMAND"));
    formatter->label("REQUIRED", Tr("REQUIRED"));
    formatter->label("Positionals", Tr("Positionals"));
    app.formatter(formatter);
    app.set_help_flag("-h,--help", Tr("Print this help message and exit"));
    app.failure_message([](const CLI::App*, const CLI::Error& error) {
        return UsageErrorText(error.what()) + "\n" + Tr("Run with --help for more information.") +
               "\n";
    });
}

// The group titles of `app`'s options and subcommands in the user's language; called once they
// are all added.
inline void TranslateHelpGroups(CLI::App& app) {
    for (CLI::Option* option : app.get_options([](const CLI::Option*) { return true; }))
        if (option->get_group() == "Options") option->group(Tr("Options"));
    for (CLI::App* sub : app.get_subcommands([](CLI::App*) { return true; })) {
        if (sub->get_group() == "Subcommands") sub->group(Tr("Subcommands"));
        TranslateHelpGroups(*sub);
    }
}
