// SPDX-License-Identifier: MIT
#pragma once
// What the window's port list offers: COM1 to COM8 (on Linux COMn is /dev/ttyS<n-1>), then every
// serial port found on the machine that is not one of them (USB adapters, the simulator's links),
// so that a user with an adapter can reach it. The entry's Path is the item's text and becomes
// the serial component's device name.
#include <cstddef>
#include <string>
#include <vector>

#include "serial/VaPortList.h"

inline constexpr int kFixedPortCount = 8;

std::vector<TVaPortInfo> PortListEntries(const std::vector<TVaPortInfo>& found);

// The list as a window shows it after a refresh: its entries and the one chosen.
struct TPortListShown {
    std::vector<TVaPortInfo> Entries;
    std::size_t Chosen = 0;
};
// The entries for the ports found now, with `chosen` (a path; empty: none yet, the first is
// chosen) still chosen: a port that went away stays listed, last, so that a start says what
// became of it.
TPortListShown RefreshedPortList(const std::vector<TVaPortInfo>& found, const std::string& chosen);
// What the open list shows of an entry: its path and, when known, its description.
std::string PortEntryText(const TVaPortInfo& entry);
