// SPDX-License-Identifier: MIT
#pragma once
// The serial ports present on this machine, for the window's port list and `tevr-flash ports`.
#include <string>
#include <vector>

#include "serial/VaPortInfo.h"

// A folder of symbolic links that the caller offers as ports: every link there that leads to a
// terminal device (a simulator's pseudo-terminal) is a SimulatorLink port with this description.
struct TVaLinkFolder {
    std::string Dir;
    std::string Description;
};

// Where ListPorts looks; tests point it elsewhere.
struct TVaPortListRoots {
    std::string DevDir = "/dev";
    std::string SysClassTtyDir = "/sys/class/tty";
    std::vector<TVaLinkFolder> LinkFolders;
};

// USB adapters (ttyUSB*), USB modems (ttyACM*), the built-in ports that have a UART behind them
// (ttyS*), every other terminal with a driver behind it (ttyAMA*, ttymxc*, ttyTHS*, ...) and the
// Bluetooth serial links (rfcomm*), then the links of the link folders; each group in natural
// order (ttyS2 before ttyS10).
std::vector<TVaPortInfo> ListPorts(const TVaPortListRoots& roots = {});

// `path` may be the device itself or a link to it (/dev/serial/by-id/...).
TVaPortIdentity PortIdentity(const std::string& path, const TVaPortListRoots& roots = {});

// What the system says of the adapter behind a port, for a check of the line.
struct TVaPortAdapter {
    std::string Driver;  // e.g. "ftdi_sio" (Linux) or "FTSER2K" (Windows); empty: none known
    TVaPortIdentity Identity;
    // The FTDI driver's latency timer in ms: how long it holds back a few received bytes before
    // handing them on. -1 where the driver has none.
    int LatencyTimerMs = -1;
};
TVaPortAdapter PortAdapter(const std::string& path, const TVaPortListRoots& roots = {});
