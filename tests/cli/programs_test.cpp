// SPDX-License-Identifier: MIT
// The real programs: bk-sim in the background, tevr-flash flashing into it, as the demo runs
// them.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "base/ScopedFd.h"
#include "sim/PseudoTerminal.h"
#include "support/SampleFiles.h"
#include "support/TempFolder.h"

extern char** environ;

namespace line_test {
namespace {

using namespace std::chrono_literals;

const std::string kSim = TEVR_BINARY_DIR "/sim/bk-sim";
const std::string kFlasher = TEVR_BINARY_DIR "/cli/tevr-flash";

// A program started with its standard output and error going to files.
class Program {
public:
    Program(std::vector<std::string> args, const std::string& out, const std::string& err) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        const int error = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (error != 0) pid_ = -1;
    }
    ~Program() {
        if (pid_ > 0 && !exited_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    bool Started() const { return pid_ > 0; }
    void Signal(int signal) { ::kill(pid_, signal); }
    // The exit status, or -1 when it has not ended within `limit`.
    int Wait(std::chrono::milliseconds limit = 30s) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!exited_) {
            int status = 0;
            const pid_t done = ::waitpid(pid_, &status, WNOHANG);
            if (done == pid_) {
                exited_ = true;
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            } else if (std::chrono::steady_clock::now() >= end) {
                return -1;
            } else {
                std::this_thread::sleep_for(10ms);
            }
        }
        return status_;
    }

private:
    pid_t pid_ = -1;
    bool exited_ = false;
    int status_ = -1;
};

bool WaitForFile(const std::string& path, const std::string& containing = {}) {
    for (int i = 0; i < 1000; ++i) {
        if (std::filesystem::exists(path) && ReadWhole(path).find(containing) != std::string::npos)
            return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

class ProgramsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(kSim) || !std::filesystem::exists(kFlasher))
            GTEST_SKIP() << "the programs are not built";
    }
    TempFolder folder;
};

TEST_F(ProgramsTest, FlashIntoBkSimAndVerifyTheSavedImage) {
    const std::string firmware = ExamplePath("worked.hex");
    Program sim({kSim, "--link", folder / "line", "--image", folder / "image.bin", "--quiet"},
                folder / "sim.out", folder / "sim.err");
    ASSERT_TRUE(sim.Started());
    ASSERT_TRUE(WaitForFile(folder / "sim.out", "\n")) << "bk-sim printed no line";

    Program flash({kFlasher, "flash", firmware, "--port", folder / "line"}, folder / "flash.out",
                  folder / "flash.err");
    EXPECT_EQ(flash.Wait(), 0) << ReadWhole(folder / "flash.err");
    EXPECT_EQ(sim.Wait(), 0) << ReadWhole(folder / "sim.err");
    EXPECT_EQ(ReadWhole(folder / "flash.out"), "");

    Program verify({kFlasher, "verify", firmware, folder / "image.bin"}, folder / "verify.out",
                   folder / "verify.err");
    EXPECT_EQ(verify.Wait(), 0) << ReadWhole(folder / "verify.err");
    EXPECT_EQ(ReadWhole(folder / "verify.out").rfind("verified: ", 0), 0u);
}

TEST_F(ProgramsTest, CtrlCStopsTheFlasherWith130) {
    const std::string firmware = ExamplePath("image-64k.hex");
    Program sim({kSim, "--link", folder / "line", "--silent-after", "3"}, folder / "sim.out",
                folder / "sim.err");
    ASSERT_TRUE(WaitForFile(folder / "sim.out", "\n"));
    Program flash({kFlasher, "flash", firmware, "--port", folder / "line", "--timeout", "60"},
                  folder / "flash.out", folder / "flash.err");
    ASSERT_TRUE(WaitForFile(folder / "sim.err", "falling silent"));
    flash.Signal(SIGINT);
    EXPECT_EQ(flash.Wait(), 130) << ReadWhole(folder / "flash.err");
    const std::string err = ReadWhole(folder / "flash.err");
    EXPECT_NE(err.find("tevr-flash: interrupted (Ctrl-C); the port is closed\n"), std::string::npos)
        << err;
    sim.Signal(SIGTERM);
    sim.Wait();
}

// Runs `flasher` with `args` as the user and group `id` (when running as root; as itself
// otherwise) and returns its exit status and standard error.
std::pair<int, std::string> FlashAs(uid_t id, const std::string& flasher,
                                    const std::vector<std::string>& args) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return {-1, ""};
    ScopedFd readEnd(pipeFds[0]);
    ScopedFd writeEnd(pipeFds[1]);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(writeEnd.Get(), 2);
        readEnd.Reset();
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(id) != 0 || ::setuid(id) != 0))
            ::_exit(99);
        std::vector<std::string> all{flasher};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& a : all)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(98);
    }
    writeEnd.Reset();
    std::string err;
    char buffer[512];
    for (ssize_t n; (n = ::read(readEnd.Get(), buffer, sizeof buffer)) > 0;)
        err.append(buffer, static_cast<size_t>(n));
    int status = 0;
    ::waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, err};
}

TEST_F(ProgramsTest, PortThatRefusesTheUserNamesTheGroupThatOwnsIt) {
    PseudoTerminal line;
    const std::string port = line.TerminalPath();
    constexpr uid_t kNobody = 65534;
    if (::geteuid() == 0) {
        // Root may open anything: the flasher runs as nobody on a port of the dialout group.
        const group* dialout = ::getgrnam("dialout");
        ASSERT_EQ(::chown(port.c_str(), 0, dialout ? dialout->gr_gid : 0), 0);
        ASSERT_EQ(::chmod(port.c_str(), 0660), 0);
    } else {
        ASSERT_EQ(::chmod(port.c_str(), 0), 0);
    }
    struct stat st {};
    ASSERT_EQ(::stat(port.c_str(), &st), 0);
    const group* owner = ::getgrgid(st.st_gid);
    ASSERT_NE(owner, nullptr);
    const std::string name = owner->gr_name;

    // The checkout may lie in a folder only its owner enters (a clone in a private temporary
    // folder): the flasher and the update file go where the unprivileged user reaches them.
    std::filesystem::permissions(folder.Path(), std::filesystem::perms::owner_all |
                                                    std::filesystem::perms::group_exec |
                                                    std::filesystem::perms::others_exec);
    const std::string flasher = folder / "tevr-flash";
    const std::string firmware = folder / "worked.hex";
    std::filesystem::copy_file(kFlasher, flasher);
    std::filesystem::copy_file(ExamplePath("worked.hex"), firmware);
    std::filesystem::permissions(firmware, std::filesystem::perms::others_read,
                                 std::filesystem::perm_options::add);
    const auto [status, err] = FlashAs(kNobody, flasher, {"flash", firmware, "--port", port});
    ASSERT_NE(status, 99) << "cannot become an unprivileged user here";
    EXPECT_EQ(status, 1) << err;
    EXPECT_NE(
        err.find("tevr-flash: " + port + ": the port cannot be opened (access denied, error 13)\n"),
        std::string::npos)
        << err;
    // The hint comes on the line after the error, and names the device's group.
    EXPECT_NE(err.find("\ntevr-flash: " + port + ": only members of the group '" + name + "'"),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("log out and in again\n"), std::string::npos) << err;
}

TEST_F(ProgramsTest, ProgressBarFitsANarrowTerminal) {
    const std::string firmware = WriteHexFile(folder / "fw.hex", {DataAt(0x0000, 0x2000)});
    Program sim({kSim, "--link", folder / "line", "--quiet"}, folder / "sim.out",
                folder / "sim.err");
    ASSERT_TRUE(WaitForFile(folder / "sim.out", "\n"));
    // Standard error on a terminal 40 columns wide.
    PseudoTerminal terminal;
    winsize size{};
    size.ws_row = 24;
    size.ws_col = 40;
    const ScopedFd tty(::open(terminal.TerminalPath().c_str(), O_RDWR | O_NOCTTY));
    ASSERT_TRUE(tty.Valid());
    ASSERT_EQ(::ioctl(tty.Get(), TIOCSWINSZ, &size), 0);
    Program flash({kFlasher, "flash", firmware, "--port", folder / "line"}, folder / "flash.out",
                  terminal.TerminalPath());
    std::string err;
    char buffer[4096];
    const auto end = std::chrono::steady_clock::now() + 30s;
    int status = -1;
    while (status < 0 && std::chrono::steady_clock::now() < end) {
        for (ssize_t n; (n = ::read(terminal.Master(), buffer, sizeof buffer)) > 0;)
            err.append(buffer, static_cast<size_t>(n));
        status = flash.Wait(10ms);
    }
    for (ssize_t n; (n = ::read(terminal.Master(), buffer, sizeof buffer)) > 0;)
        err.append(buffer, static_cast<size_t>(n));
    EXPECT_EQ(status, 0) << err;
    size_t bars = 0;
    std::string segment;
    for (const char c : err) {
        if (c != '\r' && c != '\n') {
            segment += c;
            continue;
        }
        if (segment.rfind('[', 0) == 0) {
            ++bars;
            EXPECT_LT(segment.size(), 40u) << segment;
        }
        segment.clear();
    }
    EXPECT_GE(bars, 1u) << err;
    sim.Wait();
}

}  // namespace
}  // namespace line_test
