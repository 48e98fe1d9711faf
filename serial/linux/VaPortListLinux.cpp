// SPDX-License-Identifier: MIT
#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>

#include "base/ScopedGeneric.h"
#include "serial/VaPortList.h"

namespace {

struct TCandidate {
    int group;
    std::string prefix;
    long number;
    TVaPortInfo info;
};

using ScopedDir = ScopedGeneric<ZeroIsNoneTraits<DIR*, &::closedir>>;

std::vector<std::string> Entries(const std::string& dir) {
    std::vector<std::string> names;
    const ScopedDir d(opendir(dir.c_str()));
    if (!d.Valid()) return names;
    while (const dirent* entry = readdir(d.Get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    return names;
}

bool IsCharDevice(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

// A terminal, told without opening it (opening a simulator's pty and closing it again could look
// like a hang-up to the simulator): a pseudo-terminal's major number, or a tty class in sysfs.
bool IsTerminal(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISCHR(st.st_mode)) return false;
    const unsigned int majorNumber = major(st.st_rdev);
    if (majorNumber >= 136 && majorNumber <= 143) return true;
    char resolved[PATH_MAX];
    const std::string sys =
        "/sys/dev/char/" + std::to_string(majorNumber) + ":" + std::to_string(minor(st.st_rdev));
    return realpath(sys.c_str(), resolved) &&
           std::string(resolved).find("/tty/") != std::string::npos;
}

std::string FirstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r'))
        line.pop_back();
    return line;
}

// "ttyUSB12" with prefix "ttyUSB" gives 12; -1 when the rest is not a plain number.
long Suffix(const std::string& name, const std::string& prefix) {
    if (name.size() <= prefix.size() || name.size() > prefix.size() + 6 ||
        name.compare(0, prefix.size(), prefix) != 0)
        return -1;
    long number = 0;
    for (std::size_t i = prefix.size(); i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') return -1;
        number = number * 10 + (name[i] - '0');
    }
    return number;
}

// The name without its trailing digits, and their value (-1 when there are none).
std::pair<std::string, long> SplitNumber(const std::string& name) {
    std::size_t digits = name.size();
    while (digits > 0 && name[digits - 1] >= '0' && name[digits - 1] <= '9' &&
           name.size() - digits < 6)
        --digits;
    if (digits == name.size()) return {name, -1};
    return {name.substr(0, digits), std::stol(name.substr(digits))};
}

// The name of the driver bound to the terminal's device; empty for a terminal without one (a
// virtual console, a pseudo-terminal).
std::string DriverName(const std::string& sysTty) {
    char resolved[PATH_MAX];
    if (!realpath((sysTty + "/device/driver").c_str(), resolved)) return "";
    const std::string driver = resolved;
    return driver.substr(driver.find_last_of('/') + 1);
}

// The nearest folder above a terminal's device in sysfs (the USB device, for an adapter) that
// has `file` with something in it; empty when none within a few levels has.
std::string UsbDeviceDir(const std::string& sysTty, const char* file) {
    char resolved[PATH_MAX];
    if (!realpath((sysTty + "/device").c_str(), resolved)) return "";
    std::string dir = resolved;
    for (int depth = 0; depth < 4 && dir.size() > 1; ++depth) {
        if (!FirstLine(dir + "/" + file).empty()) return dir;
        dir = dir.substr(0, dir.find_last_of('/'));
    }
    return "";
}

// The product name of the USB device behind a terminal.
std::string UsbProduct(const std::string& sysTty) {
    const std::string dir = UsbDeviceDir(sysTty, "product");
    if (dir.empty()) return "";
    const std::string product = FirstLine(dir + "/product");
    const std::string maker = FirstLine(dir + "/manufacturer");
    if (maker.empty() || product.compare(0, maker.size(), maker) == 0) return product;
    return maker + " " + product;
}

// The identity files of the USB device behind a terminal.
TVaPortIdentity UsbIdentity(const std::string& sysTty) {
    const std::string dir = UsbDeviceDir(sysTty, "idVendor");
    if (dir.empty()) return {};
    return {FirstLine(dir + "/idVendor"), FirstLine(dir + "/idProduct"),
            FirstLine(dir + "/serial")};
}

// The port of a USB device: `kind` with the product the device names, or said in general words
// where it names none.
TVaPortInfo UsbPort(const std::string& path, const std::string& sysTty, TVaPortKind kind,
                    const char* general) {
    TVaPortInfo info{path, "", UsbIdentity(sysTty), kind};
    info.Product = UsbProduct(sysTty);
    info.Description = info.Product.empty() ? general : info.Product;
    return info;
}

// The terminal's folder in sysfs: the path's own name, or that of the node a link leads to;
// empty when there is none.
std::string SysTtyOf(const std::string& path, const TVaPortListRoots& roots) {
    std::string current = path;
    for (int hop = 0; hop < 8; ++hop) {
        const std::string name = current.substr(current.find_last_of('/') + 1);
        const std::string sysTty = roots.SysClassTtyDir + "/" + name;
        struct stat st;
        if (!name.empty() && stat(sysTty.c_str(), &st) == 0) return sysTty;
        char target[PATH_MAX];
        const ssize_t length = readlink(current.c_str(), target, sizeof target - 1);
        if (length <= 0) break;
        std::string next(target, static_cast<size_t>(length));
        if (next.front() != '/') next = current.substr(0, current.find_last_of('/') + 1) + next;
        current = next;
    }
    return "";
}

}  // namespace

TVaPortIdentity PortIdentity(const std::string& path, const TVaPortListRoots& roots) {
    const std::string sysTty = SysTtyOf(path, roots);
    return sysTty.empty() ? TVaPortIdentity{} : UsbIdentity(sysTty);
}

TVaPortAdapter PortAdapter(const std::string& path, const TVaPortListRoots& roots) {
    TVaPortAdapter adapter;
    const std::string sysTty = SysTtyOf(path, roots);
    if (sysTty.empty()) return adapter;
    adapter.Driver = DriverName(sysTty);
    adapter.Identity = UsbIdentity(sysTty);
    // The FTDI driver shows it beside the port's device.
    const std::string latency = FirstLine(sysTty + "/device/latency_timer");
    if (!latency.empty() && latency.size() < 5 &&
        latency.find_first_not_of("0123456789") == std::string::npos)
        adapter.LatencyTimerMs = std::stoi(latency);
    return adapter;
}

std::vector<TVaPortInfo> ListPorts(const TVaPortListRoots& roots) {
    std::vector<TCandidate> found;
    for (const std::string& name : Entries(roots.DevDir)) {
        const std::string path = roots.DevDir + "/" + name;
        const std::string sysTty = roots.SysClassTtyDir + "/" + name;
        if (const long usb = Suffix(name, "ttyUSB"); usb >= 0 && IsCharDevice(path)) {
            found.push_back({0, "ttyUSB", usb,
                             UsbPort(path, sysTty, TVaPortKind::UsbAdapter, "USB serial adapter")});
        } else if (const long acm = Suffix(name, "ttyACM"); acm >= 0 && IsCharDevice(path)) {
            found.push_back(
                {1, "ttyACM", acm, UsbPort(path, sysTty, TVaPortKind::UsbModem, "USB modem")});
        } else if (const long uart = Suffix(name, "ttyS"); uart >= 0 && IsCharDevice(path)) {
            // The kernel makes a ttyS node for every possible UART; type 0 means none is there.
            const std::string type = FirstLine(sysTty + "/type");
            if (type.empty() || type == "0") continue;
            TVaPortInfo info{
                path, "Serial port COM" + std::to_string(uart + 1), {}, TVaPortKind::BuiltIn};
            info.ComNumber = static_cast<int>(uart + 1);
            found.push_back({2, "ttyS", uart, info});
        } else if (IsCharDevice(path)) {
            // Any other terminal with a driver behind it (ttyAMA, ttymxc, ttyTHS, ...), and
            // Bluetooth serial links, which have none.
            const auto [prefix, number] = SplitNumber(name);
            const std::string driver = DriverName(sysTty);
            const bool bluetooth = prefix == "rfcomm" && number >= 0;
            if (driver.empty() && !bluetooth) continue;
            // A USB device behind it names itself; the others go by what they are.
            TVaPortInfo info = UsbPort(path, sysTty, TVaPortKind::UsbAdapter, "");
            if (info.Product.empty() && bluetooth) {
                info.Kind = TVaPortKind::Bluetooth;
                info.Description = "Bluetooth serial port";
            } else if (info.Product.empty()) {
                info.Kind = TVaPortKind::Driver;
                info.Driver = driver;
                info.Description = "Serial port (" + driver + ")";
            }
            found.push_back({3, prefix, number, info});
        }
    }
    for (const TVaLinkFolder& folder : roots.LinkFolders) {
        for (const std::string& name : Entries(folder.Dir)) {
            const std::string path = folder.Dir + "/" + name;
            struct stat st;
            if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode) || !IsTerminal(path))
                continue;
            found.push_back(
                {4, name, 0, {path, folder.Description, {}, TVaPortKind::SimulatorLink}});
        }
    }
    std::sort(found.begin(), found.end(), [](const TCandidate& a, const TCandidate& b) {
        if (a.group != b.group) return a.group < b.group;
        if (a.prefix != b.prefix) return a.prefix < b.prefix;
        return a.number < b.number;
    });
    std::vector<TVaPortInfo> ports;
    for (auto& candidate : found)
        ports.push_back(std::move(candidate.info));
    return ports;
}
