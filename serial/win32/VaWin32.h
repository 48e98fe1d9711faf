// SPDX-License-Identifier: MIT
#pragma once
// Shared by the Windows sources of the serial component and their tests.
#include <algorithm>
#include <cctype>
#include <string>

#include "serial/VaPortList.h"

// Port names and device ids are compared without regard to case, as Windows does.
inline std::string VaUpper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// The USB identity in a device instance id such as "USB\VID_0403&PID_6001\A50285BI"; empty for
// other ids, and without a serial number where Windows made one up for the device.
TVaPortIdentity VaUsbIdentity(const std::string& instanceId);
