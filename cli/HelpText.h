#pragma once
// The help of tevr-flash within 80 columns: CLI11 writes each description on one line however
// long, so longer lines are wrapped under the column they begin in.
#include <CLI/CLI.hpp>
#include <string>

inline constexpr size_t kHelpColumns = 80;

// Wraps every line longer than `columns` at blanks; the continuation lines are indented to
// where the line's text (after a name column, if any) begins.
std::string WrapHelpText(const std::string& text, size_t columns = kHelpColumns);

class WrappingFormatter final : public CLI::Formatter {
public:
    std::string make_help(const CLI::App* app, std::string name,
                          CLI::AppFormatMode mode) const override {
        return WrapHelpText(CLI::Formatter::make_help(app, std::move(name), mode));
    }
};
