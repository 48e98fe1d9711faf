// SPDX-License-Identifier: MIT
// The Windows system's names: ports, the system's list of them, a port that is not there, and the
// USB identity of an adapter.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "serial/VaComm.h"
#include "serial/VaPort.h"
#include "serial/VaPortList.h"
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
