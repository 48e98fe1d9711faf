// SPDX-License-Identifier: MIT
// tevr-flash flash and ports, run in-process against a simulated boot loader: exit statuses,
// what goes to standard error, and the endings of a transfer that cannot go on.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "FlashRun.h"
#include "base/SimulatorLinks.h"
#include "cli/ImageCheck.h"
#include "loader/BootLoaderTransfer.h"
#include "serial/VaPortList.h"
#include "sim/BootLoaderSim.h"
#include "sim/PseudoTerminal.h"
#include "support/SampleFiles.h"
#include "support/TempFolder.h"
#include "words/Words.h"

namespace line_test {
namespace {

using namespace std::chrono_literals;

class FlashCommandTest : public ::testing::Test {
protected:
    ~FlashCommandTest() override {
        if (sim) sim->Stop();
    }
    void Launch(SimOptions options = {}) {
        sim = std::make_unique<BootLoaderSim>(std::move(options));
        sim->Start();
    }
    // Four pages of four blocks: long enough for faults in its middle.
    std::string Firmware() { return WriteHexFile(folder / "fw.hex", {DataAt(0x0000, 0x800)}); }
    FlashRun Flash(const std::string& file, std::vector<std::string> more = {}) {
        std::vector<std::string> args{"flash", file, "--port", sim->TerminalPath()};
        args.insert(args.end(), more.begin(), more.end());
        return TevrFlash(args);
    }

    TempFolder folder;
    std::unique_ptr<BootLoaderSim> sim;
};

TEST_F(FlashCommandTest, CompletedFlashReportsOnStandardErrorOnly) {
    Launch();
    const FlashRun run = Flash(ExamplePath("worked.hex"), {"--log"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.out, "");
    ASSERT_FALSE(run.lines.empty());
    EXPECT_EQ(run.lines.back(), TransferMessageText(TransferMessage::Done));
    EXPECT_TRUE(run.HasLine(" - >  55"));
    EXPECT_TRUE(run.Mentions("tevr-flash: 100 % (3 of 3 blocks"));
    // The exchange log holds each block's echo as one line of 131 bytes.
    EXPECT_EQ(std::count_if(run.lines.begin(), run.lines.end(),
                            [](const std::string& l) { return l.size() == 5 + 3 * 131; }),
              3);
    ASSERT_TRUE(sim->WaitForEnd(5s));
    EXPECT_EQ(CompareImageWithUpdateFile(ExamplePath("worked.hex"), sim->Image()).bytesDiffering,
              0);

    // Without --log no exchange is printed; a port given as a relative path opens.
    sim->Stop();
    Launch();
    const std::string relative = std::filesystem::path(sim->TerminalPath())
                                     .lexically_relative(std::filesystem::current_path());
    const FlashRun quiet = TevrFlash({"flash", ExamplePath("worked.hex"), "--port", relative});
    EXPECT_EQ(quiet.status, kExitOk) << relative << ": " << quiet.err;
    EXPECT_FALSE(quiet.Mentions(" - > "));
}

TEST_F(FlashCommandTest, AFileWithCrLineEndsFlashesWhole) {
    Launch();
    const FlashRun run = Flash(ExamplePath("cr-only.hex"));
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_TRUE(run.Mentions("tevr-flash: 100 % (3 of 3 blocks"));
    ASSERT_TRUE(sim->WaitForEnd(5s));
    EXPECT_EQ(CompareImageWithUpdateFile(ExamplePath("worked.hex"), sim->Image()).bytesDiffering,
              0);
}

TEST_F(FlashCommandTest, WrongChecksumIsShownOnceAndTheFlashGoesOn) {
    SimOptions options;
    options.badChecksumBlock = 2;
    Launch(options);
    const FlashRun run = Flash(Firmware());
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(std::count(run.lines.begin(), run.lines.end(),
                         std::string(TransferMessageText(TransferMessage::BadChecksum))),
              1);
    EXPECT_EQ(run.lines.back(), TransferMessageText(TransferMessage::Done));
}

struct Stall {
    const char* name;
    SimOptions options;
    const char* reason;  // in the last line
};

// Keeps the raw bytes of the options out of the test's listed name.
void PrintTo(const Stall& stall, std::ostream* os) {
    *os << stall.name;
}

SimOptions With(void (*set)(SimOptions&)) {
    SimOptions options;
    set(options);
    return options;
}

class StallTest : public FlashCommandTest, public ::testing::WithParamInterface<Stall> {};

TEST_P(StallTest, NoProgressEndsWithStatusThreeAndTheReason) {
    Launch(GetParam().options);
    const FlashRun run = Flash(Firmware(), {"--timeout", "2"});
    EXPECT_EQ(run.status, kExitStalled) << run.err;
    // The reason, then what to do with the board left in its boot loader.
    ASSERT_GE(run.lines.size(), 2u);
    const std::string& reason = run.lines.end()[-2];
    EXPECT_EQ(reason.rfind("tevr-flash: no progress: ", 0), 0u) << reason;
    EXPECT_NE(reason.find(GetParam().reason), std::string::npos) << reason;
    EXPECT_NE(reason.find("within 2 s; the port is closed"), std::string::npos) << reason;
    EXPECT_NE(run.lines.back().find("restart it"), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, StallTest,
    ::testing::Values(Stall{"SilentBeforeThePage", With([](SimOptions& o) { o.silentAfter = 0; }),
                            "no acknowledgement (0xAA) of the page command"},
                      Stall{"SilentAfterBlockTwo", With([](SimOptions& o) { o.silentAfter = 2; }),
                            "no echo of the block at 0100"},
                      Stall{"SilentBeforeTheSecondPage",
                            With([](SimOptions& o) { o.silentAfter = 4; }),
                            "no acknowledgement (0xAA) of the page command at 0200"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(FlashCommandTest, NoDeviceOnTheLineIsAStallToo) {
    PseudoTerminal line;  // nobody greets on it
    const FlashRun run = TevrFlash(
        {"flash", ExamplePath("worked.hex"), "--port", line.TerminalPath(), "--timeout", "0.3"});
    EXPECT_EQ(run.status, kExitStalled);
    EXPECT_NE(run.lines.back().find("no greeting from the boot loader on " + line.TerminalPath()),
              std::string::npos)
        << run.err;
}

TEST_F(FlashCommandTest, LostEchoByteIsALineFaultNamedOnce) {
    // The device, hearing nothing after the short echo, greets again and again; none of it may
    // be taken for a wrong checksum.
    SimOptions options;
    options.dropEchoBlock = 1;
    options.regreetAfterMs = 100;
    Launch(options);
    const FlashRun run = Flash(Firmware(), {"--timeout", "5"});
    EXPECT_EQ(run.status, kExitError) << run.err;
    EXPECT_FALSE(run.Mentions(TransferMessageText(TransferMessage::BadChecksum)));
    EXPECT_FALSE(run.Mentions(TransferMessageText(TransferMessage::EchoMismatch)))
        << "said in English";
    ASSERT_GE(run.lines.size(), 2u);
    EXPECT_EQ(run.lines.end()[-2], "tevr-flash: " + sim->TerminalPath() +
                                       ": the echo did not match what was sent: a byte was lost "
                                       "or changed on the line (check the cable and the "
                                       "adapter); the port is closed");
    EXPECT_EQ(run.lines.back(), "tevr-flash: " + sim->TerminalPath() +
                                    ": the on-board computer stays in its boot loader: restart "
                                    "it and start the update again");
}

TEST_F(FlashCommandTest, UnpluggedDeviceIsAnError) {
    SimOptions options;
    options.hangupAfter = 2;
    Launch(options);
    const FlashRun run = Flash(Firmware());
    EXPECT_EQ(run.status, kExitError) << run.err;
    EXPECT_TRUE(run.Mentions("tevr-flash: stopped after 2 of 16 blocks")) << run.err;
    EXPECT_FALSE(run.Mentions(TransferMessageText(TransferMessage::Done)));
    EXPECT_FALSE(run.Mentions("Error retrieving statistics"));
    EXPECT_EQ(run.lines.back(), "tevr-flash: " + sim->TerminalPath() +
                                    ": the on-board computer or its adapter went away (unplugged, "
                                    "switched off or reset); the port is closed");
}

TEST_F(FlashCommandTest, ErrorsBeforeTheTransferExitOneWithTheirMessage) {
    Launch();
    const FlashRun missing = Flash(folder / "none.hex");
    EXPECT_EQ(missing.status, kExitError);
    EXPECT_EQ(missing.err, "tevr-flash: " + folder / "none.hex" + ": file not found\n");

    const FlashRun refused = Flash(TEVR_SOURCE_DIR "/CMakeLists.txt");
    EXPECT_EQ(refused.status, kExitError);
    EXPECT_EQ(refused.err, "tevr-flash: " TEVR_SOURCE_DIR
                           "/CMakeLists.txt: line 1: the record does not begin with ':'\n");

    // Bytes of the file quoted in the message never reach the terminal as they are.
    std::ofstream(folder / "quoted.hex", std::ios::binary) << ":\xE4\xE5\n";
    const FlashRun quoted = Flash(folder / "quoted.hex");
    EXPECT_EQ(quoted.err, "tevr-flash: " + folder / "quoted.hex" +
                              ": line 1: '$\\xE4\\xE5' is not a valid integer value\n");

    // A line that holds more than its record is never flashed in part.
    const std::string first = Record(0, CountingBytes(0, 16));
    std::ofstream(folder / "pasted.hex") << first << first << "\n" << kEndOfFile << "\n";
    const FlashRun pasted = Flash(folder / "pasted.hex");
    EXPECT_EQ(pasted.status, kExitError);
    EXPECT_NE(pasted.err.find(": line 1: another record begins"), std::string::npos) << pasted.err;

    const FlashRun noPort =
        TevrFlash({"flash", ExamplePath("worked.hex"), "--port", folder / "tty"});
    EXPECT_EQ(noPort.status, kExitError);
    // The message, then the ports there are.
    ASSERT_EQ(noPort.lines.size(), 2u) << noPort.err;
    EXPECT_EQ(noPort.lines[0], "tevr-flash: " + folder / "tty" + ": the port does not exist");
    EXPECT_NE(noPort.lines[1].find("tevr-flash ports"), std::string::npos) << noPort.err;
    EXPECT_EQ(noPort.out, "");

    // The device was never greeted back.
    EXPECT_TRUE(sim->Received().empty());
}

TEST_F(FlashCommandTest, UsageErrorsExitTwo) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"flash", "a.hex"},
             {"flash", "--port", "/dev/null"},
             {"flash", "a.hex", "--port", "/dev/null", "--timeout", "0"},
             {"flash", "a.hex", "--port", "/dev/null", "--timeout", "soon"},
             {"flash", "a.hex", "--port", "/dev/null", "--timeout", "1", "--timeout", "2"},
             {"verify", "a.hex"},
             {"ports", "extra"}}) {
        EXPECT_EQ(TevrFlash(args).status, kExitUsage) << testing::PrintToString(args);
    }
    // A decimal comma is a number as much as a point.
    EXPECT_EQ(TevrFlash({"flash", "a.hex", "--port", "/dev/null", "--timeout", "0,5"}).status,
              kExitError);
    const FlashRun help = TevrFlash({"flash", "--help"});
    EXPECT_EQ(help.status, kExitOk);
    for (const char* status : {"  3 ", "  130 ", "  143 "})
        EXPECT_NE(help.out.find(status), std::string::npos) << status;
}

TEST_F(FlashCommandTest, SignalsCloseThePortAndEndWithTheirStatus) {
    for (const auto& [signal, status, word] :
         {std::tuple{SIGINT, int(kExitInterrupted), "interrupted (Ctrl-C)"},
          std::tuple{SIGTERM, int(kExitTerminated), "terminated (SIGTERM)"},
          std::tuple{SIGHUP, int(kExitHungUp), "terminal closed (SIGHUP)"}}) {
        SimOptions options;
        options.silentAfter = 2;
        Launch(options);
        struct sigaction before {};
        sigaction(signal, nullptr, &before);
        std::thread interrupter([&, signal = signal] {
            // Once the device has gone silent the flasher sits waiting in its event loop.
            for (int i = 0; i < 1000 && sim->BlocksReceived() < 2; ++i)
                std::this_thread::sleep_for(10ms);
            std::this_thread::sleep_for(100ms);
            ::kill(::getpid(), signal);
        });
        const FlashRun run = Flash(Firmware(), {"--timeout", "60"});
        interrupter.join();
        EXPECT_EQ(run.status, status) << run.err;
        ASSERT_GE(run.lines.size(), 2u);
        EXPECT_EQ(run.lines.end()[-2], std::string("tevr-flash: ") + word + "; the port is closed");
        EXPECT_NE(run.lines.back().find("restart it"), std::string::npos) << run.err;
        struct sigaction after {};
        sigaction(signal, nullptr, &after);
        EXPECT_EQ(after.sa_handler, before.sa_handler) << "the old handler is back";
        sim->Stop();
    }
}

TEST(PortsCommand, ListsSimulatorLinks) {
    const std::filesystem::path dir = kSimulatorLinkDir;
    if (!std::filesystem::exists(dir)) {
        std::filesystem::create_directories(dir);
        ::chmod(dir.c_str(), 01777);
    }
    const std::string link = (dir / ("cli-test-" + std::to_string(::getpid()))).string();
    SimOptions options;
    options.linkPath = link;
    BootLoaderSim sim(options);
    const FlashRun run = TevrFlash({"ports"});
    EXPECT_EQ(run.status, kExitOk);
    std::istringstream lines(run.out);
    bool listed = false;
    for (std::string line; std::getline(lines, line);)
        listed = listed || (line.rfind(link + "  ", 0) == 0 &&
                            line.find(kSimulatorDescription) != std::string::npos);
    EXPECT_TRUE(listed) << run.out;
}

TEST(PortsCommand, ControlCharactersInNamesNeverReachTheTerminal) {
    const std::filesystem::path dir = kSimulatorLinkDir;
    if (!std::filesystem::exists(dir)) {
        std::filesystem::create_directories(dir);
        ::chmod(dir.c_str(), 01777);
    }
    // Anyone may put a link into the simulators' folder; its name could hold a terminal command
    // (ESC ... and the one-byte CSI, U+009B).
    const std::string name = "cli-test-\x1b[2J\xc2\x9b" + std::to_string(::getpid());
    SimOptions options;
    options.linkPath = (dir / name).string();
    BootLoaderSim sim(options);
    const FlashRun run = TevrFlash({"ports"});
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_EQ(run.out.find('\x1b'), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("\xc2\x9b"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("cli-test-\\x1B[2J\\x9B" + std::to_string(::getpid())),
              std::string::npos)
        << run.out;
}

}  // namespace
}  // namespace line_test
