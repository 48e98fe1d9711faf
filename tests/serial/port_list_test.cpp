// SPDX-License-Identifier: MIT
// The port list, on a made-up /dev, sysfs and simulator directory whose device nodes are links
// to a real pseudo-terminal.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "PtyFarEnd.h"
#include "serial/VaPort.h"
#include "serial/VaPortList.h"
#include "serial/VaUtils.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

class PortListTest : public ::testing::Test {
protected:
    PortListTest() {
        sim = root + "/sim";
        roots = {root + "/dev", root + "/sys/class/tty", {{sim, "simulated"}}};
        for (const auto& dir : {roots.DevDir, roots.SysClassTtyDir, sim})
            fs::create_directories(dir);
    }
    void Node(const std::string& name) {
        fs::create_symlink(far.Port(), roots.DevDir + "/" + name);
    }
    void Text(const std::string& path, const std::string& text) {
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path) << text << "\n";
    }

    PtyFarEnd far;
    TempFolder folder;
    const std::string root = folder.Path().string();
    std::string sim;  // a folder of links offered as ports
    TVaPortListRoots roots;
};

}  // namespace

void PrintTo(const TVaPortInfo& port, std::ostream* out) {
    *out << port.Path << " \"" << port.Description << "\" kind " << static_cast<int>(port.Kind)
         << " COM" << port.ComNumber << " driver \"" << port.Driver << "\" product \""
         << port.Product << "\"";
}

TEST_F(PortListTest, ListsRealPortsInGroupsAndNaturalOrder) {
    for (const char* name : {"ttyUSB10", "ttyUSB2", "ttyS1", "ttyS0", "ttyACM0", "ttyUSBx", "tty0"})
        Node(name);
    std::ofstream(roots.DevDir + "/ttyUSB3") << "a plain file, no device\n";
    Text(roots.SysClassTtyDir + "/ttyS0/type", "4");
    Text(roots.SysClassTtyDir + "/ttyS1/type", "0");  // no UART behind it
    // ttyUSB2's device sits two levels below the USB device that names its product.
    const std::string usb = root + "/sys/devices/usb1/1-1";
    Text(usb + "/product", "FT232R USB UART");
    Text(usb + "/manufacturer", "FTDI");
    fs::create_directories(usb + "/1-1:1.0/ttyUSB2");
    fs::create_directories(roots.SysClassTtyDir + "/ttyUSB2");
    fs::create_symlink(usb + "/1-1:1.0/ttyUSB2", roots.SysClassTtyDir + "/ttyUSB2/device");

    const auto ports = ListPorts(roots);
    ASSERT_EQ(ports.size(), 4u);
    const std::string& dev = roots.DevDir;
    EXPECT_EQ(ports[0], (TVaPortInfo{.Path = dev + "/ttyUSB2",
                                     .Description = "FTDI FT232R USB UART",
                                     .Kind = TVaPortKind::UsbAdapter,
                                     .Product = "FTDI FT232R USB UART"}));
    // Without a product of the device's own, a front end says what it is in its words.
    EXPECT_EQ(ports[1], (TVaPortInfo{.Path = dev + "/ttyUSB10",
                                     .Description = "USB serial adapter",
                                     .Kind = TVaPortKind::UsbAdapter}));
    EXPECT_EQ(ports[2], (TVaPortInfo{.Path = dev + "/ttyACM0",
                                     .Description = "USB modem",
                                     .Kind = TVaPortKind::UsbModem}));
    EXPECT_EQ(ports[3], (TVaPortInfo{.Path = dev + "/ttyS0",
                                     .Description = "Serial port COM1",
                                     .Kind = TVaPortKind::BuiltIn,
                                     .ComNumber = 1}));
}

TEST_F(PortListTest, SimulatorLinksThatLeadToATerminal) {
    fs::create_symlink(far.Port(), sim + "/bk1");
    fs::create_symlink(sim + "/gone", sim + "/stale");
    fs::create_symlink("/dev/null", sim + "/null");  // a device, but no terminal
    std::ofstream(sim + "/notes") << "not a link\n";
    const auto ports = ListPorts(roots);
    std::vector<std::string> paths;
    for (const auto& port : ports) {
        EXPECT_EQ(port.Kind, TVaPortKind::SimulatorLink);
        EXPECT_EQ(port.Description, "simulated");
        paths.push_back(port.Path);
    }
    EXPECT_EQ(paths, std::vector<std::string>{sim + "/bk1"});
}

TEST(PortListDirTest, MissingDirectoriesGiveAnEmptyList) {
    EXPECT_TRUE(
        ListPorts({"/nonexistent/dev", "/nonexistent/sys", {{"/nonexistent/sim", "simulated"}}})
            .empty());
}

TEST_F(PortListTest, EveryTerminalWithADriverAndBluetoothLinks) {
    for (const char* name : {"ttyAMA0", "ttymxc10", "ttymxc2", "rfcomm0", "ttyprintk", "tty1"})
        Node(name);
    const std::string drivers = root + "/sys/bus/drivers";
    for (const char* name : {"ttyAMA0", "ttymxc10", "ttymxc2"}) {
        const std::string device = root + "/sys/devices/" + name;
        fs::create_directories(device);
        fs::create_directories(drivers + "/" + (name[3] == 'A' ? "uart-pl011" : "imx-uart"));
        fs::create_symlink(drivers + "/" + (name[3] == 'A' ? "uart-pl011" : "imx-uart"),
                           device + "/driver");
        fs::create_directories(roots.SysClassTtyDir + "/" + name);
        fs::create_symlink(device, roots.SysClassTtyDir + "/" + name + "/device");
    }
    // ttyprintk and the virtual console have no driver behind them: not serial ports.
    fs::create_directories(roots.SysClassTtyDir + "/ttyprintk");
    fs::create_directories(roots.SysClassTtyDir + "/tty1");

    const std::string& dev = roots.DevDir;
    const auto driver = [&](const char* name, const char* driverName) {
        return TVaPortInfo{.Path = dev + "/" + name,
                           .Description = std::string("Serial port (") + driverName + ")",
                           .Kind = TVaPortKind::Driver,
                           .Driver = driverName};
    };
    EXPECT_EQ(ListPorts(roots), (std::vector<TVaPortInfo>{
                                    {.Path = dev + "/rfcomm0",
                                     .Description = "Bluetooth serial port",
                                     .Kind = TVaPortKind::Bluetooth},
                                    driver("ttyAMA0", "uart-pl011"),
                                    driver("ttymxc2", "imx-uart"),
                                    driver("ttymxc10", "imx-uart"),
                                }));
}

TEST_F(PortListTest, AdapterIdentityThroughLinksToTheDevice) {
    Node("ttyUSB0");
    Node("ttyS0");
    const std::string usb = root + "/sys/devices/usb1/1-2";
    Text(usb + "/idVendor", "0403");
    Text(usb + "/idProduct", "6001");
    Text(usb + "/serial", "A50285BI");
    fs::create_directories(usb + "/1-2:1.0/ttyUSB0");
    fs::create_directories(roots.SysClassTtyDir + "/ttyUSB0");
    fs::create_symlink(usb + "/1-2:1.0/ttyUSB0", roots.SysClassTtyDir + "/ttyUSB0/device");
    Text(roots.SysClassTtyDir + "/ttyS0/type", "4");
    // A name by the adapter's identity, leading to the device through a relative link.
    fs::create_directories(root + "/dev/serial/by-id");
    fs::create_symlink("../../ttyUSB0", root + "/dev/serial/by-id/usb-FTDI_A50285BI-if00-port0");

    const TVaPortIdentity ftdi{"0403", "6001", "A50285BI"};
    EXPECT_EQ(PortIdentity(roots.DevDir + "/ttyUSB0", roots), ftdi);
    EXPECT_EQ(PortIdentity(root + "/dev/serial/by-id/usb-FTDI_A50285BI-if00-port0", roots), ftdi);
    const auto ports = ListPorts(roots);
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(ports[0].Identity, ftdi);
    EXPECT_EQ(ports[1].Identity, TVaPortIdentity{});
    // A built-in port and a simulator's pseudo-terminal have none.
    EXPECT_EQ(PortIdentity(roots.DevDir + "/ttyS0", roots), TVaPortIdentity{});
    fs::create_symlink(far.Port(), sim + "/bk1");
    EXPECT_EQ(PortIdentity(sim + "/bk1", roots), TVaPortIdentity{});
}

TEST(SystemNames, ErrorTextsAndPortNames) {
    EXPECT_EQ(VaSystemErrorText(5), "Input/output error");
    EXPECT_EQ(VaSystemErrorText(16), "Device or resource busy");
    EXPECT_EQ(VaSystemErrorText(2), "No such file or directory");
    EXPECT_NE(VaSystemErrorText(123456).find("123456"), std::string::npos);
    EXPECT_EQ(VaSystemDevicePath("COM1"), "/dev/ttyS0");
    EXPECT_EQ(VaSystemDevicePath("com8"), "/dev/ttyS7");
    EXPECT_EQ(VaSystemDevicePath("COM9"), "/dev/COM9") << "beyond the window's list: no port";
    EXPECT_EQ(VaSystemDevicePath("/tmp/tevr-sim/bk"), "/tmp/tevr-sim/bk");
    EXPECT_EQ(VaSystemDevicePath("w/bk"), "w/bk") << "a relative path";
    EXPECT_EQ(VaSystemDevicePath("ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(VaSystemDevicePath("COM0"), "/dev/COM0");
    EXPECT_EQ(VaSystemDevicePath("COM99999999999"), "/dev/COM99999999999");
}
