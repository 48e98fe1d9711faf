// SPDX-License-Identifier: MIT
#pragma once
// The serial ports present on this machine, for the window's port list and `tevr-flash ports`.
#include <cstdint>
#include <string>
#include <vector>

// The USB identity of the adapter behind a port, where the system has one; empty fields
// otherwise (a built-in port, a simulator's pseudo-terminal). Values as the device gives them.
struct TVaPortIdentity {
    std::string VendorId;      // e.g. "0403"
    std::string ProductId;     // e.g. "6001"
    std::string SerialNumber;  // e.g. "A50285BI"
    bool operator==(const TVaPortIdentity&) const = default;
};

// What a port is, so that a front end can say it in its user's words; the data each kind needs
// are the fields of TVaPortInfo named beside it.
enum class TVaPortKind : std::uint8_t {
    Unknown,        // the system tells nothing of it
    BuiltIn,        // a port of the machine itself: ComNumber
    Driver,         // a port of a driver that names no device: Driver
    Bluetooth,      // a Bluetooth serial link
    UsbAdapter,     // a USB serial adapter: Product, empty where the device gives none
    UsbModem,       // a USB device of the modem class (CDC ACM): Product, likewise
    SimulatorLink,  // a link of a link folder: the simulator's
    SystemName,     // what the system's device manager calls it (Windows): FriendlyName
};

struct TVaPortInfo {
    std::string Path;  // what DeviceName takes, e.g. "/dev/ttyUSB0"
    // In English, for logs and for front ends without words of their own, e.g. "FTDI FT232R
    // USB UART" or "Serial port COM1".
    std::string Description;
    TVaPortIdentity Identity{};  // of the USB adapter behind it, where there is one
    TVaPortKind Kind = TVaPortKind::Unknown;
    int ComNumber = 0;           // BuiltIn: the number of its COM name (ttyS0 is COM1)
    std::string Driver{};        // Driver: the driver's name, e.g. "uart-pl011"
    std::string Product{};       // UsbAdapter, UsbModem: as the device gives it, maker first
    std::string FriendlyName{};  // SystemName: without the port's own name, e.g. "USB Serial Port"
    bool operator==(const TVaPortInfo&) const = default;
};

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
