// SPDX-License-Identifier: MIT
#pragma once
// The serial ports present on this machine, for the window's port list and `tevr-flash ports`.
#include <string>
#include <vector>

struct TVaPortInfo {
    std::string Path;         // what DeviceName takes, e.g. "/dev/ttyUSB0"
    std::string Description;  // readable, e.g. "FTDI FT232R USB UART"
    bool operator==(const TVaPortInfo&) const = default;
};

// A folder of symbolic links that the caller offers as ports: every link there that leads to a
// terminal device (a simulator's pseudo-terminal, say) is a port with this description.
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
