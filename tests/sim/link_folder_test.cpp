// SPDX-License-Identifier: MIT
// The simulator's link in a folder that is not there yet: only the shared one is made.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "sim/BootLoaderSim.h"
#include "sim/LinkFolder.h"
#include "sim/SimError.h"
#include "support/TempFolder.h"

namespace {

namespace fs = std::filesystem;

class LinkFolderTest : public ::testing::Test {
protected:
    static mode_t Mode(const std::string& path) {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
    }
    TempFolder folder;
    const std::string root = folder.Path().string();
};

TEST_F(LinkFolderTest, OnlyTheSharedFolderIsMadeAndItIsOpenToEveryUser) {
    SimOptions options;
    options.linkPath = root + "/a/b/bk";
    EXPECT_THROW(BootLoaderSim{options}, SimError);
    EXPECT_FALSE(fs::exists(root + "/a")) << "a mistyped link leaves no folder behind";
    options.linkPath = root + "/bk";
    BootLoaderSim sim(options);
    EXPECT_EQ(fs::read_symlink(options.linkPath), sim.TerminalPath());

    const std::string shared = root + "/tevr-sim";
    MakeLinkFolder(shared + "/", shared);
    EXPECT_EQ(Mode(shared), 01777u);
    // One that is there already is left as it is.
    ::chmod(shared.c_str(), 0755);
    MakeLinkFolder(shared, shared);
    EXPECT_EQ(Mode(shared), 0755u);
}

}  // namespace
