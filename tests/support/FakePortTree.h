// SPDX-License-Identifier: MIT
#pragma once
// A made-up /dev and sysfs in a folder: USB adapters whose device nodes lead to a real terminal
// (a simulator's pseudo-terminal, say), to be plugged, unplugged and renumbered between calls.
#include <filesystem>
#include <fstream>
#include <string>

#include "serial/VaPortList.h"

class FakePortTree {
public:
    explicit FakePortTree(const std::filesystem::path& root) : root_(root) {
        roots_.DevDir = (root / "dev").string();
        roots_.SysClassTtyDir = (root / "sys/class/tty").string();
        std::filesystem::create_directories(roots_.DevDir);
        std::filesystem::create_directories(roots_.SysClassTtyDir);
    }
    const TVaPortListRoots& Roots() const { return roots_; }
    std::string Dev(const std::string& name) const { return roots_.DevDir + "/" + name; }

    // The adapter `identity` as /dev/NAME (ttyUSB0, ...), its node a link to `terminal`.
    void Plug(const std::string& name, const TVaPortIdentity& identity,
              const std::string& terminal) {
        namespace fs = std::filesystem;
        const fs::path usb = root_ / "sys/devices/usb1" / (identity.SerialNumber + name);
        fs::create_directories(usb / "1-1:1.0" / name);
        Text(usb / "idVendor", identity.VendorId);
        Text(usb / "idProduct", identity.ProductId);
        Text(usb / "serial", identity.SerialNumber);
        fs::create_directories(fs::path(roots_.SysClassTtyDir) / name);
        fs::create_symlink(usb / "1-1:1.0" / name,
                           fs::path(roots_.SysClassTtyDir) / name / "device");
        fs::create_symlink(terminal, Dev(name));
    }
    void Unplug(const std::string& name) {
        std::filesystem::remove(Dev(name));
        std::filesystem::remove_all(std::filesystem::path(roots_.SysClassTtyDir) / name);
    }

private:
    static void Text(const std::filesystem::path& path, const std::string& text) {
        std::ofstream(path) << text << "\n";
    }

    std::filesystem::path root_;
    TVaPortListRoots roots_;
};
