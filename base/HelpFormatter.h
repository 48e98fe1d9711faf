// SPDX-License-Identifier: MIT
#pragma once
// Help that fits an 80-column terminal. CLI11 puts option and subcommand descriptions in a column
// but never breaks them, so a long one would run on wherever the terminal cuts it. Descriptions
// and footers are free text that their authors break by hand.
// CLI11's own words (titles, placeholders, usage errors: base/CommandLineWords.h) are given in the
// user's language; the programs that use this header link tevr_translation.
#include <CLI/CLI.hpp>
#include <cstddef>
#include <memory>
#include <string>

#include "base/CommandLineWords.h"
#include "base/TextWrap.h"
#include "base/Translation.h"

inline constexpr std::size_t kHelpColumns = 80;

// `text` with the decimal separator of the user's language when it is a number ("0,5"), as it
// stands otherwise: the defaults the help shows.
inline std::string DefaultText(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos) return text;
    return DecimalSeparated(text);
}

// "  NAME  description" with the description in its column from `column` on, every line of it;
// a name as wide as the column puts the description on the lines below. Columns, not bytes, as
// CLI11 counts: a Russian placeholder takes two bytes a letter.
inline std::string HelpEntry(const std::string& name, const std::string& description,
                             std::size_t column) {
    std::string entry = "  " + name;
    if (description.empty()) return entry + "\n";
    const std::size_t width = ColumnsOf(entry);
    entry += width >= column ? "\n" + std::string(column, ' ') : std::string(column - width, ' ');
    for (const char c : description) {
        entry += c;
        if (c == '\n') entry += std::string(column, ' ');
    }
    return entry + "\n";
}

class HelpFormatter : public CLI::Formatter {
public:
    std::string make_option(const CLI::Option* option, bool positional) const override {
        return HelpEntry(make_option_name(option, positional) + make_option_opts(option),
                         make_option_desc(option), get_column_width());
    }
    std::string make_option_desc(const CLI::Option* option) const override {
        return WrapText(CLI::Formatter::make_option_desc(option), DescriptionWidth());
    }
    std::string make_subcommand(const CLI::App* sub) const override {
        return HelpEntry(sub->get_display_name(true),
                         WrapText(sub->get_description(), DescriptionWidth()), get_column_width());
    }
    // Arguments by their placeholders in the user's language: "FILE", "PORT...".
    std::string make_option_name(const CLI::Option* option, bool positional) const override {
        if (positional) return PlaceholderText(option->get_name(true, false));
        return CLI::Formatter::make_option_name(option, positional);
    }
    std::string make_option_usage(const CLI::Option* option) const override {
        std::string usage = make_option_name(option, true);
        if (option->get_expected_max() >= CLI::detail::expected_max_vector_size) usage += "...";
        return option->get_required() ? usage : "[" + usage + "]";
    }
    // "--timeout SECONDS=10 (from 0.001 to 86400)": the value's placeholder, its default, the
    // validators' descriptions (in the user's language already) and whether it is required.
    // CLI11's own type names ("TEXT", "FLOAT") never show: an argument's placeholder is its name,
    // an option's the type name the program gave it. The programs use no environment variables,
    // needs or excludes, which CLI11 would add in English.
    std::string make_option_opts(const CLI::Option* option) const override {
        if (!option->get_option_text().empty()) return " " + option->get_option_text();
        if (option->get_type_size() == 0) return {};
        std::string opts;
        const std::string typeName = option->get_type_name();
        const std::size_t colon = typeName.find(':');
        if (option->nonpositional()) opts += " " + PlaceholderText(typeName.substr(0, colon));
        if (!option->get_default_str().empty())
            opts += "=" + DefaultText(option->get_default_str());
        if (option->get_expected_max() == CLI::detail::expected_max_vector_size) opts += " ...";
        if (colon != std::string::npos) {
            std::string notes = typeName.substr(colon + 1);
            for (std::size_t at = notes.find(':'); at != std::string::npos; at = notes.find(':'))
                notes.replace(at, 1, "; ");
            opts += " (" + notes + ")";
        }
        if (option->get_required()) opts += " " + get_label("REQUIRED");
        return opts;
    }

private:
    std::size_t DescriptionWidth() const { return kHelpColumns - get_column_width(); }
};

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
