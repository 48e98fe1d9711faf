// SPDX-License-Identifier: MIT
// The Windows system's names: ports, the system's list of them and their names in the system's
// language, a port that is not there, and the USB identity of an adapter.
#include <windows.h>
// After windows.h, which they need.
#include <setupapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "serial/VaComm.h"
#include "serial/VaPort.h"
#include "serial/VaPortList.h"
#include "serial/win32/VaSetupHandles.h"
#include "serial/win32/VaWin32.h"

TEST(SystemNames, PortNamesAreOpenedInTheDeviceSpace) {
    EXPECT_EQ(VaSystemDevicePath("COM1"), "\\\\.\\COM1");
    EXPECT_EQ(VaSystemDevicePath("com12"), "\\\\.\\COM12") << "COM10 and above need it";
    EXPECT_EQ(VaSystemDevicePath("\\\\.\\COM3"), "\\\\.\\COM3");
    EXPECT_EQ(VaSystemDevicePath("COM0"), "COM0");
    EXPECT_EQ(VaSystemDevicePath("COMX"), "COMX");
}

TEST(SystemNames, PortListHoldsTheSystemsPorts) {
    // The null modem's two ports are in the system's device map, as every port is.
    if (!std::getenv("TEVR_NULL_MODEM")) GTEST_SKIP() << "no null modem (TEVR_NULL_MODEM)";
    std::vector<std::string> names;
    for (const TVaPortInfo& port : ListPorts())
        names.push_back(port.Path);
    const auto com8 = std::find(names.begin(), names.end(), "COM8");
    ASSERT_NE(com8, names.end());
    EXPECT_EQ(std::find(names.begin(), names.end(), "COM9"), com8 + 1);
}

namespace {

// A port device of the device manager and its place in the device map, made for a test and
// removed after it: what a driver's installation leaves.
class MadePort {
public:
    MadePort(const wchar_t* port, const std::wstring& friendlyName)
        : set_(::SetupDiCreateDeviceInfoList(&kVaPortsClass, nullptr)), port_(port) {
        info_.cbSize = sizeof info_;
        made_ = set_.Valid() &&
                ::SetupDiCreateDeviceInfoW(set_.Get(), L"TEVRTEST", &kVaPortsClass, nullptr,
                                           nullptr, DICD_GENERATE_ID, &info_) &&
                ::SetupDiRegisterDeviceInfo(set_.Get(), &info_, 0, nullptr, nullptr, nullptr);
        if (!made_) return;
        ::SetupDiSetDeviceRegistryPropertyW(
            set_.Get(), &info_, SPDRP_FRIENDLYNAME,
            reinterpret_cast<const BYTE*>(friendlyName.c_str()),
            static_cast<DWORD>((friendlyName.size() + 1) * sizeof(wchar_t)));
        const TVaRegistryKey device(::SetupDiCreateDevRegKeyW(set_.Get(), &info_, DICS_FLAG_GLOBAL,
                                                              0, DIREG_DEV, nullptr, nullptr));
        SetString(device.Get(), L"PortName", port_);
        HKEY map = nullptr;
        ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, nullptr,
                          REG_OPTION_VOLATILE, KEY_SET_VALUE, nullptr, &map, nullptr);
        deviceMap_.Reset(map);
        SetString(deviceMap_.Get(), L"\\Device\\TevrTest", port_);
    }
    ~MadePort() {
        if (!made_) return;
        ::RegDeleteValueW(deviceMap_.Get(), L"\\Device\\TevrTest");
        ::SetupDiRemoveDevice(set_.Get(), &info_);
    }
    MadePort(const MadePort&) = delete;
    MadePort& operator=(const MadePort&) = delete;

    bool Made() const { return made_; }

private:
    static void SetString(HKEY key, const wchar_t* name, const std::wstring& value) {
        ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }

    TVaDeviceInfoSet set_;
    SP_DEVINFO_DATA info_{};
    TVaRegistryKey deviceMap_;
    std::wstring port_;
    bool made_ = false;
};

bool UnderWine() {
    return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

}  // namespace

TEST(SystemNames, FriendlyNamesInTheSystemsLanguage) {
    // Making a device takes an administrator on Windows, and would stay if the test broke off.
    if (!UnderWine()) GTEST_SKIP() << "makes a port device: under Wine only";
    const MadePort made(L"COM77", L"Последовательный порт (COM77)");
    ASSERT_TRUE(made.Made());
    const std::vector<TVaPortInfo> ports = ListPorts();
    const auto com77 = std::find_if(ports.begin(), ports.end(),
                                    [](const TVaPortInfo& port) { return port.Path == "COM77"; });
    ASSERT_NE(com77, ports.end());
    EXPECT_EQ(com77->Kind, TVaPortKind::SystemName);
    EXPECT_EQ(com77->FriendlyName, "Последовательный порт");
    EXPECT_EQ(com77->Description, com77->FriendlyName);
}

TEST(SystemNames, MissingPortIsNotFound) {
    TVaComm comm;
    comm.SetDeviceName("COM42");
    try {
        comm.Open();
        FAIL() << "opened";
    } catch (const EVaCommError& e) {
        EXPECT_STREQ(e.what(), "Specified device not found (COM42).");
    }
    EXPECT_FALSE(comm.IsOpen());
}

TEST(SystemNames, UsbIdentityOfAnAdaptersInstanceId) {
    const TVaPortIdentity ftdi{"0403", "6001", "A50285BI"};
    EXPECT_EQ(VaUsbIdentity("USB\\VID_0403&PID_6001\\A50285BI"), ftdi);
    EXPECT_EQ(VaUsbIdentity("usb\\vid_0403&pid_6001\\A50285BI"), ftdi);
    // Windows made the last part up: the adapter has no serial number.
    EXPECT_EQ(VaUsbIdentity("USB\\VID_1A86&PID_7523\\5&2A3B4C5D&0&2"),
              (TVaPortIdentity{"1A86", "7523", ""}));
    // An interface of a composite device, and a port of the FTDI driver: their parent tells.
    EXPECT_EQ(VaUsbIdentity("USB\\VID_2341&PID_0043&MI_00\\6&1234&0&0000"), TVaPortIdentity{});
    EXPECT_EQ(VaUsbIdentity("FTDIBUS\\VID_0403+PID_6001+A50285BIA\\0000"), TVaPortIdentity{});
}
