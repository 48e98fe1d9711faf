// The real programs: bk-sim in the background, tevr-flash flashing into it, as the demo runs
// them.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "hex_files.h"

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

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool WaitForFile(const std::string& path, const std::string& containing = {}) {
    for (int i = 0; i < 1000; ++i) {
        if (std::filesystem::exists(path) && ReadFile(path).find(containing) != std::string::npos)
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
    const std::string firmware = std::string(TEVR_SOURCE_DIR) + "/examples/worked.hex";
    Program sim({kSim, "--link", folder / "line", "--image", folder / "image.bin", "--quiet"},
                folder / "sim.out", folder / "sim.err");
    ASSERT_TRUE(sim.Started());
    ASSERT_TRUE(WaitForFile(folder / "sim.out", "\n")) << "bk-sim printed no line";

    Program flash({kFlasher, "flash", firmware, "--port", folder / "line"}, folder / "flash.out",
                  folder / "flash.err");
    EXPECT_EQ(flash.Wait(), 0) << ReadFile(folder / "flash.err");
    EXPECT_EQ(sim.Wait(), 0) << ReadFile(folder / "sim.err");
    EXPECT_EQ(ReadFile(folder / "flash.out"), "");

    Program verify({kFlasher, "verify", firmware, folder / "image.bin"}, folder / "verify.out",
                   folder / "verify.err");
    EXPECT_EQ(verify.Wait(), 0) << ReadFile(folder / "verify.err");
    EXPECT_EQ(ReadFile(folder / "verify.out").rfind("verified: ", 0), 0u);
}

TEST_F(ProgramsTest, CtrlCStopsTheFlasherWith130) {
    const std::string firmware = std::string(TEVR_SOURCE_DIR) + "/examples/image-64k.hex";
    Program sim({kSim, "--link", folder / "line", "--silent-after", "3"}, folder / "sim.out",
                folder / "sim.err");
    ASSERT_TRUE(WaitForFile(folder / "sim.out", "\n"));
    Program flash({kFlasher, "flash", firmware, "--port", folder / "line", "--timeout", "60"},
                  folder / "flash.out", folder / "flash.err");
    ASSERT_TRUE(WaitForFile(folder / "sim.err", "falling silent"));
    flash.Signal(SIGINT);
    EXPECT_EQ(flash.Wait(), 130) << ReadFile(folder / "flash.err");
    const std::string err = ReadFile(folder / "flash.err");
    EXPECT_NE(err.find("tevr-flash: interrupted; the port is closed\n"), std::string::npos) << err;
    sim.Signal(SIGTERM);
    sim.Wait();
}

}  // namespace
}  // namespace line_test
