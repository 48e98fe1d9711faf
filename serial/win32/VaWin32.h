// SPDX-License-Identifier: MIT
#pragma once
// Shared by the Windows sources of the serial component and their tests.
#include <string>

#include "serial/VaPortList.h"

// The USB identity in a device instance id such as "USB\VID_0403&PID_6001\A50285BI"; empty for
// other ids, and without a serial number where Windows made one up for the device.
TVaPortIdentity VaUsbIdentity(const std::string& instanceId);
