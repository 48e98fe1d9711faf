// SPDX-License-Identifier: MIT
#pragma once
// Help that fits an 80-column terminal. CLI11 puts option and subcommand descriptions in a column
// but never breaks them, so a long one would run on wherever the terminal cuts it. Descriptions
// and footers are free text that their authors break by hand.
#include <CLI/CLI.hpp>
#include <cstddef>
#include <memory>
#include <sstream>
#include <string>

inline constexpr std::size_t kHelpColumns = 80;

// Breaks every line of `text` longer than `width` at its last space that fits; the continuation
// keeps the line's indentation. A word longer than `width` stays whole on a line of its own.
inline std::string WrapHelpText(const std::string& text, std::size_t width) {
    std::string wrapped;
    std::istringstream lines(text);
    std::string line;
    bool first = true;
    while (std::getline(lines, line)) {
        if (!first) wrapped += '\n';
        first = false;
        const std::size_t indent = line.find_first_not_of(' ');
        while (indent != std::string::npos && line.size() > width) {
            std::size_t cut = line.rfind(' ', width);
            if (cut == std::string::npos || cut <= indent) cut = line.find(' ', width);
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

// Gives `app` (and the subcommands added to it afterwards) the 80-column help.
inline void UseHelpFormatter(CLI::App& app) {
    app.formatter(std::make_shared<HelpFormatter>());
}
