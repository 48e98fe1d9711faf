// tevr-flash ports: the serial ports found on this machine, simulator links included.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <string>

#include "cli/Command.h"
#include "serial/VaPortList.h"

void AddPortsCommand(CLI::App& app, CommandIo& io, CommandAction& action) {
    CLI::App* sub = app.add_subcommand(
        "ports", "List the serial ports found (path and description), bk-sim links included.");
    sub->callback([&io, &action] {
        action = [&io] {
            const std::vector<TVaPortInfo> ports = ListPorts();
            if (ports.empty()) {
                io.err << "no serial ports found\n";
                io.err.flush();
                return 0;
            }
            size_t width = 0;
            for (const TVaPortInfo& port : ports)
                width = std::max(width, port.Path.size());
            std::string text;
            for (const TVaPortInfo& port : ports) {
                text += port.Path;
                if (!port.Description.empty())
                    text += std::string(width - port.Path.size() + 2, ' ') + port.Description;
                text += '\n';
            }
            WriteOutput(io.out, text);
            return 0;
        };
    });
}
