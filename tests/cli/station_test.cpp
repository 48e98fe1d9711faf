// SPDX-License-Identifier: MIT
// What a line's station is set up with, run in-process against a simulated boot loader: the plan
// of a flash, the firmware lock and the station file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <regex>

#include "FlashRun.h"
#include "OpenWatch.h"
#include "cli/ImageCheck.h"
#include "files/UpdateFiles.h"
#include "sim/BootLoaderSim.h"
#include "support/SampleFiles.h"
#include "support/TempFolder.h"

namespace line_test {
namespace {

using namespace std::chrono_literals;

class StationTest : public ::testing::Test {
protected:
    StationTest() {
        sim = std::make_unique<BootLoaderSim>(SimOptions{});
        sim->Start();
    }
    ~StationTest() override { sim->Stop(); }
    std::string Firmware() { return WriteHexFile(folder / "fw.hex", {DataAt(0x0200, 0x300)}); }
    bool Landed(const std::string& file) {
        return sim->WaitForEnd(5s) &&
               CompareImageWithUpdateFile(file, sim->Image()).bytesDiffering == 0;
    }

    TempFolder folder;
    std::unique_ptr<BootLoaderSim> sim;
};

TEST_F(StationTest, PlanTellsTheBytesAFlashPutsOnTheLine) {
    const std::string file = Firmware();
    const FlashRun plan = TevrFlash({"plan", file});
    ASSERT_EQ(plan.status, kExitOk) << plan.err;
    EXPECT_NE(plan.out.find(DigestFile(file).sha256), std::string::npos);
    EXPECT_NE(plan.out.find("0x0200-0x04FF  768 bytes"), std::string::npos) << plan.out;
    // The page at 0 and its block are always sent, data or not.
    EXPECT_NE(plan.out.find("3 page commands"), std::string::npos) << plan.out;
    EXPECT_NE(plan.out.find("7 block commands"), std::string::npos) << plan.out;
    std::smatch sent;
    ASSERT_TRUE(std::regex_search(plan.out, sent, std::regex("(\\d+) bytes sent, (\\d+) answers")));

    ASSERT_EQ(TevrFlash({"flash", file, "--port", sim->TerminalPath()}).status, kExitOk);
    ASSERT_TRUE(Landed(file));
    // Everything the tool sent after its greeting answer.
    EXPECT_EQ(std::stoul(sent[1]), sim->Received().size() - 3);
    EXPECT_EQ(std::stoi(sent[2]), 3 + 7);

    const FlashRun missing = TevrFlash({"plan", folder / "none.hex"});
    EXPECT_EQ(missing.status, kExitError);
    EXPECT_TRUE(missing.Mentions(folder / "none.hex"));
}

TEST_F(StationTest, WrongFirmwareIsRefusedBeforeAnyPortOpens) {
    const std::string file = Firmware();
    const std::string actual = DigestFile(file).sha256;
    const std::string other(64, 'a');
    OpenWatch watch(sim->TerminalPath());
    const FlashRun refused =
        TevrFlash({"flash", file, "--port", sim->TerminalPath(), "--expect-sha256", other});
    EXPECT_EQ(refused.status, kExitError);
    EXPECT_TRUE(refused.Mentions("not the firmware this station is set up for")) << refused.err;
    EXPECT_TRUE(refused.Mentions(actual));
    EXPECT_TRUE(refused.Mentions(other));
    EXPECT_EQ(watch.Opens(), 0);
    EXPECT_TRUE(sim->Received().empty());

    // Digits in either case; the right one flashes.
    std::string upper = actual;
    std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
    EXPECT_EQ(
        TevrFlash({"flash", file, "--port", sim->TerminalPath(), "--expect-sha256", upper}).status,
        kExitOk);
    EXPECT_GT(watch.Opens(), 0);
    EXPECT_TRUE(Landed(file));
    EXPECT_EQ(TevrFlash({"flash", file, "-p", "x", "--expect-sha256", "abc"}).status, kExitUsage);
}

TEST_F(StationTest, StationFileDrivesAFlashAndTheCommandLineWins) {
    const std::string file = Firmware();
    const std::string station = folder.Write(
        "station.toml", "[flash]\nfile = \"" + file + "\"\nport = [\"" + sim->TerminalPath() +
                            "\"]\nexpect-sha256 = \"" + std::string(64, '0') +
                            "\"\ntimeout = 5\njournal = \"" + folder / "journal.jsonl" + "\"\n");
    const FlashRun locked = TevrFlash({"--config", station, "flash"});
    EXPECT_EQ(locked.status, kExitError);
    EXPECT_TRUE(locked.Mentions("not the firmware this station is set up for")) << locked.err;

    const FlashRun run =
        TevrFlash({"--config", station, "flash", "--expect-sha256", DigestFile(file).sha256});
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_TRUE(Landed(file));
    EXPECT_NE(ReadWhole(folder / "journal.jsonl").find("\"result\":\"done\""), std::string::npos);

    EXPECT_EQ(TevrFlash({"--config", folder / "none.toml", "flash"}).status, kExitUsage);
}

TEST_F(StationTest, StationFileAfterTheSubcommandWorksAsBeforeIt) {
    const std::string file = Firmware();
    // flash takes nothing from [check]. Written by Notepad: a byte order mark, CR LF.
    const std::string station =
        folder.Write("station.toml", "\xEF\xBB\xBF[flash]\r\nport = \"" + sim->TerminalPath() +
                                         "\"\r\nexpect-sha256 = \"" + DigestFile(file).sha256 +
                                         "\"\r\n[check]\r\nport = \"" + folder / "ttyUSB9" +
                                         "\"\r\nlisten = 0.1\r\n");
    const FlashRun run = TevrFlash({"flash", file, "--config", station});
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_TRUE(Landed(file));

    // The command line wins, wherever it stands against --config.
    const FlashRun locked =
        TevrFlash({"flash", "--config=" + station, "--expect-sha256", std::string(64, '0'), file});
    EXPECT_EQ(locked.status, kExitError);
    EXPECT_TRUE(locked.Mentions("not the firmware this station is set up for")) << locked.err;

    EXPECT_EQ(TevrFlash({"flash", file, "--config", folder / "none.toml"}).status, kExitUsage);
    // One station file, wherever the second one stands.
    EXPECT_EQ(TevrFlash({"--config", station, "flash", file, "--config", station}).status,
              kExitUsage);
}

TEST_F(StationTest, CheckReadsItsSectionBeforeAndAfterItsName) {
    const std::string missing = folder / "ttyUSB9";
    const std::string station =
        folder.Write("station.toml", "[check]\nport = [\"" + sim->TerminalPath() + "\", \"" +
                                         missing + "\"]\nlisten = 0.2\n[flash]\ntimeout = 5\n");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--config", station, "check"}, {"check", "--config", station}}) {
        const FlashRun run = TevrFlash(args);
        EXPECT_EQ(run.status, kExitError) << run.err;
        ASSERT_FALSE(run.lines.empty());
        EXPECT_EQ(run.lines.back(), "tevr-flash: 1 of 2 lines not ready: " + missing) << run.err;
    }
    // A port on the command line replaces the file's.
    const FlashRun one = TevrFlash({"check", missing, "--config", station});
    EXPECT_EQ(one.status, kExitError);
    EXPECT_TRUE(one.HasLine("tevr-flash: " + missing + ": line not ready")) << one.err;
    EXPECT_FALSE(one.Mentions(sim->TerminalPath()));
}

TEST_F(StationTest, StationFileRefusesWhatItWouldIgnore) {
    const std::string file = Firmware();
    const std::string port = sim->TerminalPath();
    const auto refused = [&](const std::string& name, const std::string& content,
                             const std::string& message) {
        const std::string station = folder.Write(name, content);
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"--config", station, "flash", file},
              {"flash", file, "--config", station}}) {
            const FlashRun run = TevrFlash(args);
            EXPECT_EQ(run.status, kExitUsage) << content;
            EXPECT_TRUE(run.Mentions("station file " + station + ": " + message)) << run.err;
        }
    };
    // A key outside any section names the sections it belongs in.
    refused("top.toml", "port = \"" + port + "\"\n[flash]\ntimeout = 5\n",
            "port stands outside any section; it belongs in [flash] or [check]\n");
    refused("timeout.toml", "timeout = 5\n[flash]\nport = \"" + port + "\"\n",
            "timeout stands outside any section; it belongs in [flash]\n");
    refused("typo.ini", "prot = " + port + "\n",
            "prot stands outside any section and is no key of [flash] (file, port,");
    // Refused too: a key that its section does not have, and any other section.
    refused("key.toml", "[flash]\nport = \"" + port + "\"\nprot = \"" + port + "\"\n",
            "prot is no key of [flash] (file, port, log, timeout, repeat, journal, "
            "expect-sha256, trusted-key, require-signature, json)\n");
    refused("section.toml", "[flash]\nport = \"" + port + "\"\n[convert]\nrecords = true\n",
            "[convert] is no section of a station file; it has [flash] and [check]\n");

    // A subcommand that reads no station file refuses one, before or after its name.
    const std::string station = folder.Write("station.toml", "[flash]\nport = \"" + port + "\"\n");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--config", station, "convert", file},
          {"convert", file, "--config", station},
          {"journal", "--config", station, file}}) {
        const FlashRun run = TevrFlash(args);
        EXPECT_EQ(run.status, kExitUsage);
        EXPECT_TRUE(
            run.Mentions("takes nothing from a station file; --config goes with flash or "
                         "check\n"))
            << run.err;
        EXPECT_TRUE(run.out.empty());
    }
    EXPECT_TRUE(sim->Received().empty());
}

}  // namespace
}  // namespace line_test
