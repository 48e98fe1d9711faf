// SPDX-License-Identifier: MIT
#include "cli/PortSelector.h"
#include "base/Translation.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "cli/SubjectError.h"

namespace {
constexpr const char* kPrefix = "usb:";

bool SameText(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

std::vector<std::string> Fields(const std::string& text) {
    std::vector<std::string> fields;
    size_t from = 0;
    for (size_t colon; (colon = text.find(':', from)) != std::string::npos; from = colon + 1)
        fields.push_back(text.substr(from, colon - from));
    fields.push_back(text.substr(from));
    return fields;
}

bool Matches(const std::vector<std::string>& fields, const TVaPortIdentity& identity) {
    if (identity.VendorId.empty()) return false;
    if (fields.size() == 1) return fields[0] == identity.SerialNumber;
    return SameText(fields[0], identity.VendorId) && SameText(fields[1], identity.ProductId) &&
           (fields.size() == 2 || fields[2] == identity.SerialNumber);
}
}  // namespace

bool IsUsbSelector(const std::string& port) {
    return port.size() > 4 && SameText(port.substr(0, 4), kPrefix);
}

std::string UsbSelector(const TVaPortIdentity& identity) {
    if (identity.VendorId.empty()) return "";
    std::string selector = kPrefix + identity.VendorId + ':' + identity.ProductId;
    if (!identity.SerialNumber.empty()) selector += ':' + identity.SerialNumber;
    return selector;
}

std::string ResolvePort(const std::string& port, const TVaPortListRoots& roots) {
    if (!IsUsbSelector(port)) return port;
    const std::vector<std::string> fields = Fields(port.substr(4));
    if (fields.size() > 3 ||
        std::any_of(fields.begin(), fields.end(), [](const std::string& f) { return f.empty(); }))
        throw SubjectError(port, Tr("not a USB selector: usb:SERIAL or usb:VID:PID[:SERIAL]"));
    std::vector<TVaPortInfo> matches;
    for (TVaPortInfo& info : ListPorts(roots))
        if (Matches(fields, info.Identity)) matches.push_back(std::move(info));
    if (matches.size() == 1) return matches.front().Path;
    if (matches.empty())
        throw SubjectError(port, Tr("no USB adapter with this identity is plugged in"),
                           {Tr("tevr-flash ports shows the selector of every USB adapter")});
    std::string both;
    for (const TVaPortInfo& match : matches)
        both += (both.empty() ? "" : ", ") + match.Path + " (" + UsbSelector(match.Identity) + ")";
    throw SubjectError(
        port,
        Fill(TrN("%1 adapter matches, which one is meant is not clear: %2",
                 "%1 adapters match, which one is meant is not clear: %2", matches.size()),
             {std::to_string(matches.size()), both}),
        {Tr("name the adapter by its serial number: usb:VID:PID:SERIAL")});
}
