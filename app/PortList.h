// SPDX-License-Identifier: MIT
#pragma once
// What the window's port list offers: COM1 to COM8 (on Linux COMn is /dev/ttyS<n-1>), then every
// serial port found on the machine that is not one of them (USB adapters, the simulator's links),
// so that a user with an adapter can reach it. The entry's Path is the item's text and becomes
// the serial component's device name.
#include <vector>

#include "serial/VaPortList.h"

inline constexpr int kFixedPortCount = 8;

std::vector<TVaPortInfo> PortListEntries(const std::vector<TVaPortInfo>& found);
