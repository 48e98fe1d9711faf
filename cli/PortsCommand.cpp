// SPDX-License-Identifier: MIT
// tevr-flash ports: the serial ports found on this machine, simulator links included. Names come
// from USB descriptors and from a folder anyone may write to, so they are written printable.
#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "base/Translation.h"
#include "cli/Command.h"
#include "cli/PortSelector.h"
#include "cli/Printable.h"
#include "cli/TextTable.h"
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
            // Path, description and, for a USB adapter, the selector that finds it on any path;
            // in columns of characters, as a Russian description takes two bytes a letter.
            std::vector<std::vector<std::string>> rows;
            for (const TVaPortInfo& port : ports)
                rows.push_back({PrintableText(port.Path), PrintableText(PortDescriptionText(port)),
                                PrintableText(UsbSelector(port.Identity))});
            const std::string text = TextTable(rows);
            WriteOutput(io.out, text);
            return 0;
        };
    });
}
