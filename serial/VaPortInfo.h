// SPDX-License-Identifier: MIT
#pragma once
// What a port is, as the port lists report it (serial/VaPortList.h) and the table of words says
// it; plain data that builds without a serial port.
#include <cstdint>
#include <string>

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
