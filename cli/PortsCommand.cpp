// SPDX-License-Identifier: MIT
// tevr-flash ports: the serial ports found on this machine, simulator links included. Names come
// from USB descriptors and from a folder anyone may write to, so they are written printable.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "base/Translation.h"
#include "cli/Command.h"
#include "cli/PortSelector.h"
#include "cli/Printable.h"
#include "line/BootLoaderPorts.h"
#include "serial/VaPortList.h"
#include "words/Words.h"

void AddPortsCommand(CLI::App& app, CommandIo& io, CommandAction& action) {
    CLI::App* sub = app.add_subcommand(
        "ports", Tr("List the serial ports found: path, description, USB selector."));
    sub->callback([&io, &action] {
        action = [&io] {
            const std::vector<TVaPortInfo> ports = ListPorts(BootLoaderPortRoots());
            if (ports.empty()) {
                io.err << Tr("no serial ports found") << '\n';
                io.err.flush();
                return 0;
            }
            // Path, description and, for a USB adapter, the selector that finds it on any path.
            std::vector<std::array<std::string, 3>> rows;
            std::array<size_t, 2> width{};
            for (const TVaPortInfo& port : ports) {
                rows.push_back({PrintableText(port.Path), PrintableText(PortDescriptionText(port)),
                                PrintableText(UsbSelector(port.Identity))});
                for (size_t column = 0; column < width.size(); ++column)
                    width[column] = std::max(width[column], rows.back()[column].size());
            }
            std::string text;
            for (const auto& row : rows) {
                std::string line = row[0];
                for (size_t column = 1; column < row.size(); ++column) {
                    if (row[column].empty()) continue;
                    line.resize(width[0] + (column == 2 ? width[1] + 2 : 0), ' ');
                    line += "  " + row[column];
                }
                text += line + '\n';
            }
            WriteOutput(io.out, text);
            return 0;
        };
    });
}
