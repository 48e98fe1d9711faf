// SPDX-License-Identifier: MIT
// Ports named by their adapter's USB identity, on a made-up /dev and sysfs: found on whatever
// path the system gives the adapter, refused when none or two match.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/FlashRun.h"
#include "cli/PortSelector.h"
#include "cli/SubjectError.h"
#include "cli/TevrFlash.h"
#include "sim/BootLoaderSim.h"
#include "support/FakePortTree.h"
#include "support/SampleFiles.h"
#include "support/TempFolder.h"

namespace {

const TVaPortIdentity kBench{"0403", "6001", "A50285BI"};
const TVaPortIdentity kSpare{"0403", "6001", "B7730011"};

class PortSelectorTest : public ::testing::Test {
protected:
    // The message, or "" when it resolved.
    std::string Refusal(const std::string& selector) {
        try {
            ResolvePort(selector, tree.Roots());
        } catch (const SubjectError& e) {
            EXPECT_EQ(e.Subject(), selector);
            return e.Message();
        }
        return "";
    }

    TempFolder folder;
    FakePortTree tree{folder.Path()};
};

TEST_F(PortSelectorTest, AnAdapterIsFoundOnItsNewPathAfterARenumbering) {
    tree.Plug("ttyUSB0", kBench, "/dev/null");
    tree.Plug("ttyUSB1", kSpare, "/dev/null");
    EXPECT_EQ(ResolvePort("usb:A50285BI", tree.Roots()), tree.Dev("ttyUSB0"));
    EXPECT_EQ(ResolvePort("USB:0403:6001:B7730011", tree.Roots()), tree.Dev("ttyUSB1"));
    EXPECT_EQ(ResolvePort("/dev/ttyS0", tree.Roots()), "/dev/ttyS0");

    // Between two boards both adapters are replugged and the system swaps their numbers: the
    // selector follows its adapter, and the old path, now the other adapter's, is not taken.
    tree.Unplug("ttyUSB0");
    tree.Unplug("ttyUSB1");
    tree.Plug("ttyUSB0", kSpare, "/dev/null");
    tree.Plug("ttyUSB1", kBench, "/dev/null");
    EXPECT_EQ(ResolvePort("usb:A50285BI", tree.Roots()), tree.Dev("ttyUSB1"));

    tree.Unplug("ttyUSB1");
    EXPECT_NE(Refusal("usb:A50285BI").find("no USB adapter with this identity"), std::string::npos);
}

TEST_F(PortSelectorTest, ASelectorThatFitsTwoAdaptersIsRefusedNamingBoth) {
    tree.Plug("ttyUSB0", kBench, "/dev/null");
    tree.Plug("ttyUSB3", kSpare, "/dev/null");
    const std::string refusal = Refusal("usb:0403:6001");
    EXPECT_NE(refusal.find("2 adapters match"), std::string::npos) << refusal;
    EXPECT_NE(refusal.find(tree.Dev("ttyUSB0") + " (usb:0403:6001:A50285BI)"), std::string::npos);
    EXPECT_NE(refusal.find(tree.Dev("ttyUSB3") + " (usb:0403:6001:B7730011)"), std::string::npos);
    EXPECT_EQ(ResolvePort("usb:0403:6001:B7730011", tree.Roots()), tree.Dev("ttyUSB3"));
    for (const char* wrong : {"usb:0403::A5", "usb:1:2:3:4"})
        EXPECT_NE(Refusal(wrong).find("not a USB selector"), std::string::npos) << wrong;
    EXPECT_EQ(UsbSelector({"1a86", "7523", ""}), "usb:1a86:7523");
    EXPECT_EQ(UsbSelector({}), "");
}

TEST_F(PortSelectorTest, FlashGoesThroughTheAdapterItsSelectorNames) {
    BootLoaderSim sim{SimOptions{}};
    sim.Start();
    tree.Plug("ttyUSB0", kSpare, "/dev/null");
    tree.Plug("ttyUSB1", kBench, sim.TerminalPath());
    FlashRunOptions options;
    options.file = ExamplePath("worked.hex");
    options.ports = {"usb:A50285BI"};
    options.portRoots = tree.Roots();
    std::ostringstream err;
    EXPECT_EQ(RunFlash(options, err), kExitOk) << err.str();
    EXPECT_TRUE(sim.WaitForEnd(std::chrono::seconds(5)));

    // Refused before any port opens: two adapters fit, or two selectors name one adapter.
    for (const auto& ports : {std::vector<std::string>{"usb:0403:6001"},
                              std::vector<std::string>{"usb:A50285BI", tree.Dev("ttyUSB1")}}) {
        options.ports = ports;
        EXPECT_THROW(RunFlash(options, err), SubjectError);
    }
}

}  // namespace
