// SPDX-License-Identifier: MIT
// tevr-flash check against simulated boot loaders and a made-up adapter: one verdict per port,
// and the exit status of the whole run.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "FlashRun.h"
#include "cli/LineCheck.h"
#include "sim/BootLoaderSim.h"
#include "support/FakePortTree.h"
#include "support/TempFolder.h"

namespace line_test {
namespace {

std::unique_ptr<BootLoaderSim> Started(SimOptions options = {}) {
    auto sim = std::make_unique<BootLoaderSim>(std::move(options));
    sim->Start();
    return sim;
}

TEST(LineCheck, ListeningTellsAGreetingBootLoaderFromAMissingPort) {
    const auto sim = Started();
    TempFolder folder;
    const std::string missing = folder / "ttyUSB9";
    const FlashRun run = TevrFlash({"check", "--listen", "0.3", sim->TerminalPath(), missing});
    EXPECT_EQ(run.status, kExitError);
    const std::string port = "tevr-flash: " + sim->TerminalPath() + ": ";
    EXPECT_TRUE(run.HasLine(port + "opens at 10400 bit/s exactly")) << run.err;
    // The low latency asked for at the open: a pseudo-terminal has none, and opens all the same.
    EXPECT_TRUE(run.HasLine(port + "low latency not supported by this port: nothing to ask (a "
                                   "pseudo-terminal, or a driver without the setting)"))
        << run.err;
    EXPECT_TRUE(run.Mentions(port + "boot loader is running (")) << run.err;
    EXPECT_TRUE(run.HasLine(port + "line ready"));
    EXPECT_TRUE(run.HasLine("tevr-flash: " + missing + ": the port does not exist")) << run.err;
    EXPECT_TRUE(run.HasLine("tevr-flash: " + missing + ": line not ready"));
    EXPECT_EQ(run.lines.back(), "tevr-flash: 1 of 2 lines not ready: " + missing);
    // Listening sends nothing.
    EXPECT_TRUE(sim->Received().empty());

    // The same verdicts as JSON Lines on standard output.
    const FlashRun json =
        TevrFlash({"check", "--json", "--listen", "0.2", sim->TerminalPath(), missing});
    EXPECT_EQ(json.lines.back(), run.lines.back());
    EXPECT_FALSE(json.Mentions("{"));
    std::istringstream lines(json.out);
    std::vector<nlohmann::json> verdicts;
    for (std::string line; std::getline(lines, line);)
        verdicts.push_back(nlohmann::json::parse(line));
    ASSERT_EQ(verdicts.size(), 2u) << json.out;
    EXPECT_EQ(verdicts[0].at("event"), "check");
    EXPECT_EQ(verdicts[0].at("ready"), true);
    EXPECT_EQ(verdicts[0].at("heard"), "greetings");
    EXPECT_EQ(verdicts[0].at("rate"), 10400);
    EXPECT_EQ(verdicts[0].at("low_latency"), "unsupported");
    EXPECT_EQ(verdicts[1].at("port"), missing);
    EXPECT_EQ(verdicts[1].at("ready"), false);
    EXPECT_EQ(verdicts[1].at("opens"), false);
    EXPECT_FALSE(verdicts[1].contains("low_latency"));
}

TEST(LineCheck, EchoProbeComesBackOnlyThroughTheHalfDuplexLoop) {
    const auto looped = Started();
    const FlashRun echoed = TevrFlash({"check", "--echo", looped->TerminalPath()});
    EXPECT_EQ(echoed.status, kExitOk) << echoed.err;
    EXPECT_TRUE(echoed.Mentions(": the probe bytes came back unchanged in ")) << echoed.err;
    EXPECT_EQ(looped->Received(), kLineProbe);

    SimOptions options;
    options.noEcho = true;
    const auto bare = Started(options);
    const FlashRun missing = TevrFlash({"check", "--echo", bare->TerminalPath()});
    EXPECT_EQ(missing.status, kExitError);
    EXPECT_TRUE(
        missing.Mentions("no echo of the 6 probe bytes: the adapter has no half-duplex "
                         "loop, or the line has no supply voltage"))
        << missing.err;
    EXPECT_EQ(missing.lines.back(), "tevr-flash: " + bare->TerminalPath() + ": line not ready");
}

TEST(LineCheck, SlowLatencyTimerOfAnFtdiAdapterIsWarnedOf) {
    const auto sim = Started();
    TempFolder folder;
    FakePortTree tree(folder.Path());
    tree.Plug("ttyUSB0", {"0403", "6001", "A50285BI"}, sim->TerminalPath());
    std::ofstream(tree.Roots().SysClassTtyDir + "/ttyUSB0/device/latency_timer") << "16\n";
    LineCheckOptions options;
    options.port = "usb:A50285BI";
    options.listen = std::chrono::milliseconds(100);
    options.portRoots = tree.Roots();
    const LineCheckResult result = CheckLine(options);
    EXPECT_TRUE(result.ready);
    EXPECT_EQ(result.path, tree.Dev("ttyUSB0"));
    EXPECT_EQ(result.adapter.LatencyTimerMs, 16);
    std::string text;
    for (const std::string& line : result.lines)
        text += line + '\n';
    EXPECT_NE(text.find("adapter: usb:0403:6001:A50285BI, latency timer 16 ms"), std::string::npos)
        << text;
    EXPECT_NE(text.find("(up to 8.2 s more on 64 KiB); set it to 1 ms"), std::string::npos);
    EXPECT_NE(text.find("/sys/bus/usb-serial/devices/ttyUSB0/latency_timer"), std::string::npos);
}

}  // namespace
}  // namespace line_test
