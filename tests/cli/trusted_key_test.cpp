// SPDX-License-Identifier: MIT
// --trusted-key as a supervisor gives it, on every system: the key's text (whose Base64 may hold
// "/"), a .pub file, or something that is neither.
#include <gtest/gtest.h>

#include "FlashRun.h"
#include "support/SampleFiles.h"
#include "support/TempFolder.h"

namespace {

// A key minisign made; its text holds "/", which Windows would take for a folder.
const std::string kKey = "RWQPCOt6eKwujryt/f3NBw+z7uIcU14mF2W6VLcyVqMGk0shaTT2ofCR";

TEST(TrustedKey, TextOrFileIsTakenAndAnythingElseNamed) {
    TempFolder folder;
    const std::string file = WriteHexFile(folder / "fw.hex", {DataAt(0x0200, 0x100)});
    const FlashRun text = TevrFlash({"plan", file, "--trusted-key", kKey});
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("not signed"), std::string::npos) << text.out;

    const std::string pub = folder.Write(
        "release.pub", "untrusted comment: minisign public key 2EAC78FA7EB08F\r\n" + kKey + "\r\n");
    EXPECT_EQ(TevrFlash({"plan", file, "--trusted-key", pub}).status, 0);

    const FlashRun neither = TevrFlash({"plan", file, "--trusted-key", folder / "relase.pub"});
    EXPECT_EQ(neither.status, 1);
    EXPECT_TRUE(neither.Mentions("relase.pub: neither a public key nor a file")) << neither.err;
}

}  // namespace
