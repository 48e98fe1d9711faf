// tevr-flash ports: the serial ports found on this machine, simulator links included.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "cli/Command.h"
#include "serial/VaPortList.h"

namespace {

// Names come from USB descriptors and from a folder anyone may write to: a control character in
// them must not reach the terminal as a command, so it is written as \xNN (C1 controls, which
// UTF-8 writes as C2 80 to C2 9F, included).
std::string Printable(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const bool c1 = byte == 0xC2 && i + 1 < text.size() &&
                        static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if (byte >= 0x20 && byte != 0x7F && !c1) {
            out += text[i];
            continue;
        }
        const unsigned code = c1 ? static_cast<unsigned char>(text[++i]) : byte;
        static constexpr char kDigits[] = "0123456789ABCDEF";
        out += "\\x";
        out += kDigits[code >> 4];
        out += kDigits[code & 0xF];
    }
    return out;
}

}  // namespace

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
            std::vector<std::pair<std::string, std::string>> rows;
            size_t width = 0;
            for (const TVaPortInfo& port : ports) {
                rows.emplace_back(Printable(port.Path), Printable(port.Description));
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
