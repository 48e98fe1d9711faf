// SPDX-License-Identifier: MIT
// flash --json against simulated boot loaders: JSON Lines on standard output, one object per
// event, the last of each port its result, progress held to a few a second.
#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "FlashRun.h"
#include "files/UpdateFiles.h"
#include "sim/BootLoaderSim.h"
#include "support/SampleFiles.h"
#include "support/TempFolder.h"

namespace line_test {
namespace {

using Json = nlohmann::json;

// Every line of `out` as an object with the keys every event has, by port.
std::map<std::string, std::vector<Json>> EventsByPort(const std::string& out) {
    std::map<std::string, std::vector<Json>> ports;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        const Json event = Json::parse(line);  // throws for a line that does not parse
        EXPECT_EQ(event.at("schema"), 1) << line;
        EXPECT_TRUE(event.at("event").is_string()) << line;
        ports[event.at("port").get<std::string>()].push_back(event);
    }
    return ports;
}

TEST(JsonEvents, EveryPortsRunEndsInItsResultWithProgressHeldBack) {
    TempFolder folder;
    const std::string file = WriteHexFile(folder / "fw.hex", {DataAt(0x0000, 0x800)});
    SimOptions paced;
    paced.pace = true;  // about two seconds for its 16 blocks
    BootLoaderSim slow(paced), fast{SimOptions{}};
    slow.Start();
    fast.Start();
    const std::string missing = folder / "ttyUSB7";
    const FlashRun run = TevrFlash({"flash", "--json", file, "-p", slow.TerminalPath(), "-p",
                                    fast.TerminalPath(), "-p", missing});
    EXPECT_EQ(run.status, kExitError);
    EXPECT_EQ(run.lines.back(), "tevr-flash: 1 of 3 boards failed: " + missing);
    const auto ports = EventsByPort(run.out);
    ASSERT_EQ(ports.size(), 3u) << run.out;
    for (const auto& [port, events] : ports) {
        EXPECT_EQ(events.front().at("event"), "start");
        EXPECT_EQ(events.front().at("sha256"), DigestFile(file).sha256);
        EXPECT_EQ(events.front().at("blocks"), 16);
        EXPECT_FALSE(events.front().contains("board"));
    }
    const Json& failed = ports.at(missing).back();
    EXPECT_EQ(failed.at("event"), "failed");
    EXPECT_EQ(failed.at("exit"), 1);
    EXPECT_EQ(failed.at("code"), "port-open-failed");
    EXPECT_NE(failed.at("message").get<std::string>().find(missing), std::string::npos);

    const auto& events = ports.at(slow.TerminalPath());
    EXPECT_EQ(events.back().at("event"), "done");
    EXPECT_EQ(events.back().at("exit"), 0);
    const double seconds = events.back().at("seconds");
    int progress = 0;
    for (const Json& event : events) {
        if (event.at("event") != "progress") continue;
        ++progress;
        EXPECT_EQ(event.at("blocks_total"), 16);
        EXPECT_GT(event.at("bytes_per_second"), 0);
    }
    EXPECT_GE(progress, 2);
    EXPECT_LE(progress, static_cast<int>(seconds * 4) + 2) << "not held back: " << run.out;
    EXPECT_EQ(events[events.size() - 2].at("blocks_confirmed"), 16);
    EXPECT_EQ(ports.at(fast.TerminalPath()).back().at("event"), "done");

    // One port alone, and its terminal output unchanged on standard error; a wrong checksum of
    // the third block, answered right again later, is told with the block's address.
    fast.Stop();
    SimOptions wrongOnce;
    wrongOnce.badChecksumBlock = 3;
    BootLoaderSim again(wrongOnce);
    again.Start();
    const FlashRun single = TevrFlash({"flash", "--json", file, "-p", again.TerminalPath()});
    EXPECT_EQ(single.status, kExitOk) << single.err;
    EXPECT_TRUE(single.Mentions("tevr-flash: 100 % (16 of 16 blocks"));
    const auto alone = EventsByPort(single.out);
    ASSERT_EQ(alone.size(), 1u);
    std::vector<std::string> kinds;
    for (const Json& event : alone.begin()->second) {
        if (event.at("event") != "progress") kinds.push_back(event.at("event"));
        if (event.at("event") == "wrong_checksum") {
            EXPECT_EQ(event.at("address"), "0x0100");
            EXPECT_NE(event.at("expected"), event.at("received"));
        }
    }
    EXPECT_EQ(kinds,
              (std::vector<std::string>{"start", "waiting", "greeted", "wrong_checksum", "done"}));
}

}  // namespace
}  // namespace line_test
