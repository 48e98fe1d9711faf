// SPDX-License-Identifier: MIT
// tevr-flash ports: the serial ports found on this machine, simulator links included. Names come
// from USB descriptors and from a folder anyone may write to, so they are written printable.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "cli/Command.h"
#include "cli/Printable.h"
#include "line/BootLoaderPorts.h"
#include "serial/VaPortList.h"

void AddPortsCommand(CLI::App& app, CommandIo& io, CommandAction& action) {
    CLI::App* sub = app.add_subcommand(
        "ports", "List the serial ports found (path and description), bk-sim links included.");
    sub->callback([&io, &action] {
        action = [&io] {
            const std::vector<TVaPortInfo> ports = ListPorts(BootLoaderPortRoots());
            if (ports.empty()) {
                io.err << "no serial ports found\n";
                io.err.flush();
                return 0;
            }
            std::vector<std::pair<std::string, std::string>> rows;
            size_t width = 0;
            for (const TVaPortInfo& port : ports) {
                rows.emplace_back(PrintableText(port.Path), PrintableText(port.Description));
                width = std::max(width, rows.back().first.size());
            }
            std::string text;
            for (const auto& [path, description] : rows) {
                text += path;
                if (!description.empty())
                    text += std::string(width - path.size() + 2, ' ') + description;
                text += '\n';
            }
            WriteOutput(io.out, text);
            return 0;
        };
    });
}
