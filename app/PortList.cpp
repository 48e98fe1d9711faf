// SPDX-License-Identifier: MIT
#include "app/PortList.h"

#include <algorithm>
#include <string>

#include "serial/VaPort.h"

std::vector<TVaPortInfo> PortListEntries(const std::vector<TVaPortInfo>& found) {
    std::vector<TVaPortInfo> entries;
    std::vector<std::string> fixedPaths;
    for (int n = 1; n <= kFixedPortCount; ++n) {
        const std::string name = "COM" + std::to_string(n);
        entries.push_back({name, ""});
        fixedPaths.push_back(VaSystemDevicePath(name));
    }
    for (const TVaPortInfo& port : found) {
        const bool fixed =
            std::find(fixedPaths.begin(), fixedPaths.end(), port.Path) != fixedPaths.end();
        const bool listed = std::any_of(entries.begin(), entries.end(),
                                        [&](const TVaPortInfo& e) { return e.Path == port.Path; });
        if (!fixed && !listed && !port.Path.empty()) entries.push_back(port);
    }
    return entries;
}
