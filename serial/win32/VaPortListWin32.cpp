// SPDX-License-Identifier: MIT
// The serial ports of a Windows machine: the system's device map of serial ports (SERIALCOMM),
// with the friendly names and USB identities the device manager keeps for them.
#include <windows.h>
// After windows.h, which they need.
#include <cfgmgr32.h>
#include <setupapi.h>

#include <algorithm>
#include <cctype>
#include <cwchar>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "base/WideText.h"
#include "serial/VaPortList.h"
#include "serial/win32/VaSetupHandles.h"
#include "serial/win32/VaWin32.h"

namespace {

// "COM12" gives 12; names of other forms sort after the numbered ones.
long PortNumber(const std::string& name) {
    if (name.size() < 4 || VaUpper(name.substr(0, 3)) != "COM") return 1000000;
    long number = 0;
    for (std::size_t i = 3; i < name.size() && i < 9; ++i) {
        if (name[i] < '0' || name[i] > '9') return 1000000;
        number = number * 10 + (name[i] - '0');
    }
    return number;
}

// A text that a call wrote into a buffer of `capacity` UTF-16 units, with or without its null.
std::string Utf8Of(const wchar_t* text, std::size_t capacity) {
    return Utf8FromWide(std::wstring_view(text, wcsnlen(text, capacity)));
}

// The port names of the device map.
std::vector<std::string> MappedPorts() {
    std::vector<std::string> names;
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ,
                        &opened) != ERROR_SUCCESS)
        return names;
    const TVaRegistryKey key(opened);
    for (DWORD index = 0;; ++index) {
        wchar_t valueName[256];
        DWORD valueNameSize = std::size(valueName);
        wchar_t data[64] = {};
        DWORD dataSize = sizeof data - sizeof data[0];
        DWORD type = 0;
        const LONG result = ::RegEnumValueW(key.Get(), index, valueName, &valueNameSize, nullptr,
                                            &type, reinterpret_cast<BYTE*>(data), &dataSize);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result != ERROR_SUCCESS || type != REG_SZ) continue;
        const std::string name = Utf8Of(data, dataSize / sizeof data[0]);
        if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    }
    return names;
}

// What the device manager knows of a port's device.
struct TPortDevice {
    std::string portName;
    std::string friendlyName;  // as the system's language has it, e.g. "USB Serial Port (COM3)"
    std::string service;       // the driver's service, e.g. FTSER2K
    int latencyTimer = -1;     // the FTDI driver's LatencyTimer among the device parameters
    DEVINST instance = 0;
};

std::string RegistryString(HKEY key, const wchar_t* name) {
    wchar_t data[256] = {};
    DWORD size = sizeof data - sizeof data[0];
    DWORD type = 0;
    if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return "";
    return Utf8Of(data, size / sizeof data[0]);
}

std::string DeviceProperty(HDEVINFO set, SP_DEVINFO_DATA& info, DWORD property) {
    wchar_t text[256] = {};
    if (!::SetupDiGetDeviceRegistryPropertyW(set, &info, property, nullptr,
                                             reinterpret_cast<BYTE*>(text),
                                             sizeof text - sizeof text[0], nullptr))
        return "";
    return Utf8Of(text, std::size(text));
}

std::vector<TPortDevice> PortDevices() {
    std::vector<TPortDevice> devices;
    const TVaDeviceInfoSet set(
        ::SetupDiGetClassDevsW(&kVaPortsClass, nullptr, nullptr, DIGCF_PRESENT));
    if (!set.Valid()) return devices;
    SP_DEVINFO_DATA info{};
    info.cbSize = sizeof info;
    for (DWORD index = 0; ::SetupDiEnumDeviceInfo(set.Get(), index, &info); ++index) {
        TPortDevice device;
        device.instance = info.DevInst;
        const TVaRegistryKey key(
            ::SetupDiOpenDevRegKey(set.Get(), &info, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ));
        if (!key.Valid()) continue;
        device.portName = RegistryString(key.Get(), L"PortName");
        DWORD latency = 0;
        DWORD size = sizeof latency;
        DWORD type = 0;
        if (::RegQueryValueExW(key.Get(), L"LatencyTimer", nullptr, &type,
                               reinterpret_cast<BYTE*>(&latency), &size) == ERROR_SUCCESS &&
            type == REG_DWORD && latency < 1000)
            device.latencyTimer = static_cast<int>(latency);
        device.service = DeviceProperty(set.Get(), info, SPDRP_SERVICE);
        device.friendlyName = DeviceProperty(set.Get(), info, SPDRP_FRIENDLYNAME);
        if (!device.portName.empty()) devices.push_back(device);
    }
    return devices;
}

// "USB Serial Port (COM3)" says "USB Serial Port" beside COM3.
std::string Description(const std::string& friendlyName, const std::string& port) {
    const std::string suffix = " (" + port + ")";
    if (friendlyName.size() > suffix.size() &&
        VaUpper(friendlyName.substr(friendlyName.size() - suffix.size())) == VaUpper(suffix))
        return friendlyName.substr(0, friendlyName.size() - suffix.size());
    return friendlyName;
}

std::string InstanceId(DEVINST instance) {
    wchar_t id[MAX_DEVICE_ID_LEN + 1] = {};
    if (::CM_Get_Device_IDW(instance, id, MAX_DEVICE_ID_LEN, 0) != CR_SUCCESS) return "";
    return Utf8Of(id, std::size(id));
}

// The USB identity of a port's device: the port itself (usbser), or its parent (an FTDI port
// below its USB device), or the composite device above an interface.
TVaPortIdentity DeviceIdentity(DEVINST instance) {
    for (int depth = 0; depth < 4; ++depth) {
        const TVaPortIdentity identity = VaUsbIdentity(InstanceId(instance));
        if (!identity.VendorId.empty()) return identity;
        DEVINST parent = 0;
        if (::CM_Get_Parent(&parent, instance, 0) != CR_SUCCESS) break;
        instance = parent;
    }
    return {};
}

// "COM3", "com3" and "\\.\COM3" all name COM3.
std::string PortName(const std::string& path) {
    const std::string prefix = "\\\\.\\";
    return VaUpper(path.compare(0, prefix.size(), prefix) == 0 ? path.substr(prefix.size()) : path);
}

}  // namespace

TVaPortIdentity VaUsbIdentity(const std::string& instanceId) {
    const std::string id = VaUpper(instanceId);
    // An interface of a composite device names no serial number; its parent does.
    if (id.compare(0, 8, "USB\\VID_") != 0 || id.find("&MI_") != std::string::npos) return {};
    const std::size_t pid = id.find("&PID_");
    const std::size_t serial = id.find('\\', 8);
    if (pid != 12 || id.size() < 21) return {};
    TVaPortIdentity identity;
    identity.VendorId = instanceId.substr(8, 4);
    identity.ProductId = instanceId.substr(17, 4);
    // Without a serial number of its own the device gets one made up by Windows, with '&' in it.
    if (serial != std::string::npos && instanceId.find('&', serial) == std::string::npos)
        identity.SerialNumber = instanceId.substr(serial + 1);
    return identity;
}

std::vector<TVaPortInfo> ListPorts(const TVaPortListRoots&) {
    const std::vector<TPortDevice> devices = PortDevices();
    std::vector<TVaPortInfo> ports;
    for (const std::string& name : MappedPorts()) {
        TVaPortInfo port{name, ""};
        for (const TPortDevice& device : devices)
            if (VaUpper(device.portName) == VaUpper(name)) {
                port.FriendlyName = Description(device.friendlyName, name);
                port.Kind =
                    port.FriendlyName.empty() ? TVaPortKind::Unknown : TVaPortKind::SystemName;
                // The system's own words, in its language: no English to be had.
                port.Description = port.FriendlyName;
                port.Identity = DeviceIdentity(device.instance);
            }
        ports.push_back(port);
    }
    std::stable_sort(ports.begin(), ports.end(), [](const TVaPortInfo& a, const TVaPortInfo& b) {
        return PortNumber(a.Path) < PortNumber(b.Path);
    });
    return ports;
}

TVaPortIdentity PortIdentity(const std::string& path, const TVaPortListRoots&) {
    const std::string name = PortName(path);
    for (const TPortDevice& device : PortDevices())
        if (VaUpper(device.portName) == name) return DeviceIdentity(device.instance);
    return {};
}

TVaPortAdapter PortAdapter(const std::string& path, const TVaPortListRoots&) {
    const std::string name = PortName(path);
    for (const TPortDevice& device : PortDevices())
        if (VaUpper(device.portName) == name)
            return {device.service, DeviceIdentity(device.instance), device.latencyTimer};
    return {};
}
