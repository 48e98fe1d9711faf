// SPDX-License-Identifier: MIT
#pragma once
// CLI11's own words in the user's language: the placeholders of the help ("FILE", "SECONDS") and
// the usage errors. The programs keep the English names of their options and arguments, by which
// a station file names them too; only what the user reads is told again.
#include <cstddef>
#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "base/Translation.h"

// The placeholder `name` of an argument or of an option's value in the user's language ("FILE" in
// English); a name the programs do not use stays as it is.
inline std::string PlaceholderText(const std::string& name) {
    const struct {
        const char* name;
        const char* text;
    } kNames[] = {
        {"FILE", TrC("placeholder", "FILE")},
        {"PORT", TrC("placeholder", "PORT")},
        {"IMAGE", TrC("placeholder", "IMAGE")},
        {"SECONDS", TrC("placeholder", "SECONDS")},
        {"KEY", TrC("placeholder", "KEY")},
        {"HEX", TrC("placeholder", "HEX")},
        {"PATH", TrC("placeholder", "PATH")},
        {"MS", TrC("placeholder", "MS")},
        {"N", TrC("placeholder", "N")},
        {"TEXT", TrC("placeholder", "TEXT")},
        {"JOURNAL", TrC("placeholder", "JOURNAL")},
    };
    for (const auto& known : kNames)
        if (name == known.name) return known.text;
    return name;
}

// CLI11's usage error in the user's language: its messages have a fixed shape with names and
// values in them, so each known shape is matched and told again; an unknown one stays as it is.
// The messages of the programs' own validators are in the user's language already.
inline std::string UsageErrorText(const std::string& english) {
    using Parts = std::vector<std::string>;
    struct Shape {
        const char* pattern;
        std::function<std::string(const Parts&)> text;
    };
    const auto missingValue = [](const std::string& name) {
        return Fill(Tr("%1: the value is missing"), {PlaceholderText(name)});
    };
    const Shape kShapes[] = {
        {"A subcommand is required", [](const Parts&) { return Tr("A subcommand is required"); }},
        {"(.+) is required",
         [](const Parts& p) { return Fill(Tr("%1 is required"), {PlaceholderText(p[1])}); }},
        {"The following arguments? (?:was|were) not expected: (.+)",
         [](const Parts& p) {
             // CLI11 lists them last first.
             std::istringstream listed(p[1]);
             std::string typed;
             for (std::string argument; listed >> argument;)
                 typed = typed.empty() ? argument : argument + " " + typed;
             return Fill(typed[0] == '-' ? Tr("Unknown option: %1") : Tr("Unexpected argument: %1"),
                         {typed});
         }},
        {"Could not convert: (.+) = (.*)",
         [](const Parts& p) {
             return Fill(Tr("%1: cannot read \"%2\""), {PlaceholderText(p[1]), p[2]});
         }},
        {"(.+): At Most 1 required but received \\d+",
         [](const Parts& p) { return Fill(Tr("%1 is given more than once"), {p[1]}); }},
        {"(.+): \\d+ required .+ missing", [&](const Parts& p) { return missingValue(p[1]); }},
        {"(.+): At least \\d+ required but received \\d+",
         [&](const Parts& p) { return missingValue(p[1]); }},
        {"Expected (?:exactly|at least) \\d+ arguments to (.+), got \\d+",
         [&](const Parts& p) { return missingValue(p[1]); }},
        {"(.+): (?:too many inputs for a flag|Should be true/false or a number)",
         [](const Parts& p) { return Fill(Tr("%1 takes no value"), {p[1]}); }},
        {"(.+) requires (.+)",
         [](const Parts& p) {
             return Fill(Tr("%1 requires %2"), {p[1], p[2]});
         }},
        {"(.+) excludes (.+)",
         [](const Parts& p) {
             return Fill(Tr("%1 cannot be given together with %2"), {p[1], p[2]});
         }},
        {"(.+) was not readable \\(missing\\?\\)",
         [](const Parts& p) { return Fill(Tr("%1 cannot be read"), {p[1]}); }},
    };
    for (const Shape& shape : kShapes) {
        std::smatch match;
        if (!std::regex_match(english, match, std::regex(shape.pattern))) continue;
        Parts parts;
        for (std::size_t i = 0; i < match.size(); ++i)
            parts.push_back(match[i].str());
        return shape.text(parts);
    }
    return english;
}
