// SPDX-License-Identifier: MIT
#pragma once
// A port named by the USB identity of its adapter instead of its device path or COM number:
// "usb:SERIAL" or "usb:VID:PID[:SERIAL]". The system may give an adapter another path after a
// replug; its identity stays.
#include <string>

#include "serial/VaPortList.h"

// Whether `port` is written as a USB selector.
bool IsUsbSelector(const std::string& port);

// "usb:VID:PID:SERIAL" (":SERIAL" left out when the adapter has none); empty for a port without
// a USB identity.
std::string UsbSelector(const TVaPortIdentity& identity);

// The port's path now: `port` itself unless it is a USB selector, else the one port of
// ListPorts(roots) whose adapter it matches (hexadecimal digits in either case). Throws
// SubjectError about `port` when none or more than one matches, naming those that did.
std::string ResolvePort(const std::string& port, const TVaPortListRoots& roots);
