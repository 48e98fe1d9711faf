// SPDX-License-Identifier: MIT
#include "app/PortList.h"

#include <algorithm>
#include <string>

#include "serial/VaPort.h"
#include "words/Words.h"

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

TPortListShown RefreshedPortList(const std::vector<TVaPortInfo>& found, const std::string& chosen) {
    TPortListShown shown{PortListEntries(found), 0};
    if (chosen.empty()) return shown;
    const auto at = std::find_if(shown.Entries.begin(), shown.Entries.end(),
                                 [&](const TVaPortInfo& e) { return e.Path == chosen; });
    shown.Chosen = static_cast<std::size_t>(at - shown.Entries.begin());
    if (at == shown.Entries.end()) shown.Entries.push_back({chosen, ""});
    return shown;
}

std::string PortEntryText(const TVaPortInfo& entry) {
    const std::string description = PortDescriptionText(entry);
    return description.empty() ? entry.Path : entry.Path + " - " + description;
}
