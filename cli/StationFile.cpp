// SPDX-License-Identifier: MIT
#include "cli/StationFile.h"
#include "base/Translation.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <istream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Printable.h"
#include "files/SystemFile.h"
#include "line/Problem.h"
#include "loader/TextFile.h"
#include "words/Words.h"

namespace {
// The subcommands that take their options from a station file, each from the section of its name.
const std::array<std::string, 2> kSections{"flash", "check"};

bool IsSection(const std::string& name) {
    return std::find(kSections.begin(), kSections.end(), name) != kSections.end();
}

// The option that `key` in `sub`'s section sets, looked up as CLI11 does when it applies the
// file (App::_parse_single_config); null when there is none or it is not set from a file.
const CLI::Option* OptionOfKey(const CLI::App& sub, const std::string& key) {
    const CLI::Option* option = sub.get_option_no_throw("--" + key);
    if (!option && key.size() == 1) option = sub.get_option_no_throw("-" + key);
    if (!option) option = sub.get_option_no_throw(key);
    return option && option->get_configurable() ? option : nullptr;
}

// "[flash] (file, port, ...)": a section and its keys.
std::string SectionWithKeys(const CLI::App& sub) {
    std::string keys;
    for (const CLI::Option* option : sub.get_options()) {
        if (!option->get_configurable()) continue;
        const std::string key = !option->get_lnames().empty() ? option->get_lnames().front()
                                : !option->get_snames().empty()
                                    ? option->get_snames().front()
                                    : CLI::detail::to_lower(option->get_name(true));
        keys += (keys.empty() ? "" : ", ") + key;
    }
    return "[" + sub.get_name() + "] (" + keys + ")";
}

// CLI11's reader of TOML and INI that refuses, before anything of the file is applied, what it
// would ignore: keys outside the sections, other sections and keys a section does not have.
class StationFileReader : public CLI::ConfigTOML {
public:
    explicit StationFileReader(const CLI::App& app) : app_(app) {}

    std::vector<CLI::ConfigItem> from_config(std::istream& input) const override {
        // Notepad starts UTF-8 with a byte order mark, which CLI11 would read as part of the
        // first line: "[flash]" would be no section.
        std::string text{std::istreambuf_iterator<char>(input), std::istreambuf_iterator<char>()};
        if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
        std::istringstream lines(text);
        std::vector<CLI::ConfigItem> read = CLI::ConfigTOML::from_config(lines);
        for (const CLI::ConfigItem& item : read)
            Check(item);
        return read;
    }

private:
    void Check(const CLI::ConfigItem& item) const {
        const std::string key = PrintableText(item.name);
        if (item.parents.empty()) {
            std::string sections;
            for (const std::string& name : kSections)
                if (OptionOfKey(*app_.get_subcommand(name), item.name))
                    sections +=
                        (sections.empty() ? "[" : std::string(" ") + Tr("or") + " [") + name + "]";
            if (!sections.empty())
                Refuse(
                    Fill(Tr("%1 stands outside any section; it belongs in %2"), {key, sections}));
            Refuse(Fill(Tr("%1 stands outside any section and is no key of %2 or %3"),
                        {key, SectionWithKeys(*app_.get_subcommand(kSections[0])),
                         SectionWithKeys(*app_.get_subcommand(kSections[1]))}));
        }
        const std::string section = CLI::detail::join(item.parents, ".");
        if (!IsSection(section))
            Refuse(Fill(Tr("[%1] is no section of a station file; it has [%2] and [%3]"),
                        {PrintableText(section), kSections[0], kSections[1]}));
        // CLI11's marks of a section's start and end.
        if (item.name == "++" || item.name == "--") return;
        const CLI::App& sub = *app_.get_subcommand(section);
        if (!OptionOfKey(sub, item.name))
            Refuse(Fill(Tr("%1 is no key of %2"), {key, SectionWithKeys(sub)}));
    }

    // A usage error that names the file as it was given.
    [[noreturn]] void Refuse(const std::string& what) const {
        const std::vector<std::string>& files = app_.get_config_ptr()->results();
        throw CLI::ConfigError(Fill(Tr("station file %1: %2"),
                                    {PrintableText(files.empty() ? "" : files.back()), what}));
    }

    const CLI::App& app_;
};

// CLI11 opens the station file itself and says only that it "was not readable": the file layer
// tells why, as for any other file, before CLI11 comes to it.
void CheckReadable(const std::string& file) {
    try {
        (void)ReadFileBytes(file);
    } catch (const EInOutError& error) {
        throw CLI::ConfigError(
            Fill(Tr("station file %1: %2"),
                 {PrintableText(file), FileProblemText({error.Fault(), error.Code()})}));
    }
}
}  // namespace

void AddStationFile(CLI::App& app) {
    // Set up once by the line's supervisor: a [flash] and a [check] section.
    app.set_config("--config", "",
                   Tr("flash and check: read their options from this station file (TOML or INI, "
                      "a [flash] or [check] section); the command line wins"))
        ->type_name("FILE")
        ->check([](const std::string& file) {
            CheckReadable(file);
            return std::string();
        });
    app.config_formatter(std::make_shared<StationFileReader>(app));

    // After the subcommand's name --config hands the file to the program's own, which reads it
    // once the whole command line is parsed, wherever --config stood.
    for (CLI::App* sub : app.get_subcommands([](CLI::App*) { return true; })) {
        const std::string name = sub->get_name();
        if (IsSection(name)) {
            sub->add_option_function<std::string>(
                   "--config",
                   [&app](const std::string& file) {
                       CheckReadable(file);
                       app.get_config_ptr()->add_result(file);
                   },
                   Fill(Tr("read the options not given here from the [%1] section of this station "
                           "file (TOML or INI)"),
                        {name}))
                ->type_name("FILE")
                ->configurable(false)
                ->trigger_on_parse();
            continue;
        }
        // Refused before the file is read, wherever --config stands.
        const std::string refusal =
            Fill(Tr("%1 takes nothing from a station file; --config goes with %2 or %3"),
                 {name, kSections[0], kSections[1]});
        sub->preparse_callback([&app, refusal](std::size_t) {
            if (app.get_config_ptr()->count() > 0) throw CLI::ValidationError("--config", refusal);
        });
        sub->add_option_function<std::string>(
               "--config",
               [refusal](const std::string&) { throw CLI::ValidationError("--config", refusal); })
            ->group("")
            ->configurable(false)
            ->trigger_on_parse();
    }
}
