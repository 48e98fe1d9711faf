#pragma once
// The serial ports present on this machine, for the window's port list and `tevr-flash ports`.
#include <string>
#include <vector>

struct TVaPortInfo {
    std::string Path;         // what DeviceName takes, e.g. "/dev/ttyUSB0"
    std::string Description;  // readable, e.g. "FTDI FT232R USB UART"
    bool operator==(const TVaPortInfo&) const = default;
};

// Where the simulator's links are listed: every symbolic link in this directory that leads to a
// terminal device (the simulator's pseudo-terminal) is a port described as
// kVaSimulatorDescription. The directory is shared by all users; whoever creates it first makes
// it world-writable with the sticky bit (mode 1777), as /tmp itself.
inline constexpr const char* kVaSimulatorLinkDir = "/tmp/tevr-sim";
inline constexpr const char* kVaSimulatorDescription = "ТЕВР-R7 simulator";

// Where ListPorts looks; tests point it elsewhere.
struct TVaPortListRoots {
    std::string DevDir = "/dev";
    std::string SysClassTtyDir = "/sys/class/tty";
    std::string SimulatorDir = kVaSimulatorLinkDir;
};

// USB adapters (ttyUSB*), USB modems (ttyACM*), the built-in ports that have a UART behind them
// (ttyS*), every other terminal with a driver behind it (ttyAMA*, ttymxc*, ttyTHS*, ...) and the
// Bluetooth serial links (rfcomm*), then the simulator links; each group in natural order
// (ttyS2 before ttyS10).
std::vector<TVaPortInfo> ListPorts(const TVaPortListRoots& roots = {});
