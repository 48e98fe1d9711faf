// SPDX-License-Identifier: MIT
// Signed releases on a station, signed by minisign in the test as a release engineer signs them:
// what a trusted key signed flashes and is recorded with its release; anything else is refused
// before the simulated boot loader's port is ever opened.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>

#include "FlashRun.h"
#include "OpenWatch.h"
#include "cli/ImageCheck.h"
#include "sim/BootLoaderSim.h"
#include "support/ReleaseSigning.h"
#include "support/SampleFiles.h"
#include "support/TempFolder.h"

namespace line_test {
namespace {

using namespace std::chrono_literals;
using Json = nlohmann::json;

const std::string kRelease = "ТЕВР-R7 2.3.1";

// The key id minisign names in a .pub file's comment: "minisign public key 6AE60E3A667F4DEB".
std::string KeyIdOf(const SigningKey& key) {
    const std::string text = ReadWhole(key.publicKeyFile);
    const std::string first = text.substr(0, text.find('\n'));
    return first.substr(first.rfind(' ') + 1);
}

class ReleaseTest : public ::testing::Test {
protected:
    ReleaseTest() : key(MakeSigningKey(folder, "release")) {
        sim = std::make_unique<BootLoaderSim>(SimOptions{});
        sim->Start();
    }
    ~ReleaseTest() override { sim->Stop(); }

    // A firmware file signed for `release` (a legacy signature when asked).
    std::string Signed(const std::string& name, const std::string& release = kRelease,
                       bool legacy = false) {
        const std::string file = WriteHexFile(folder / name, {DataAt(0x0200, 0x300)});
        SignRelease(key, file, release, legacy);
        return file;
    }
    bool Landed(const std::string& file) {
        return sim->WaitForEnd(5s) &&
               CompareImageWithUpdateFile(file, sim->Image()).bytesDiffering == 0;
    }
    // Flashes `args` after FILE --port; checks a refusal that touched no port.
    void ExpectRefused(const std::string& file, std::vector<std::string> args,
                       const std::string& message) {
        OpenWatch watch(sim->TerminalPath());
        args.insert(args.begin(), {"flash", file, "--port", sim->TerminalPath()});
        const FlashRun run = TevrFlash(args);
        EXPECT_EQ(run.status, kExitError) << run.err;
        ASSERT_FALSE(run.lines.empty());
        EXPECT_EQ(run.lines.back(), "tevr-flash: " + file + ": " + message) << run.err;
        EXPECT_EQ(watch.Opens(), 0);
        EXPECT_TRUE(sim->Received().empty());
    }

    TempFolder folder;
    SigningKey key;
    std::unique_ptr<BootLoaderSim> sim;
};

TEST_F(ReleaseTest, SignedReleaseFlashesAndIsShownAndRecorded) {
    const std::string file = Signed("fw.hex");
    const std::string id = KeyIdOf(key);
    const std::string plan = TevrFlash({"plan", file, "--trusted-key", key.publicKeyFile}).out;
    EXPECT_NE(plan.find(" " + kRelease + " (key " + id + ")\n"), std::string::npos) << plan;

    const std::string journal = folder / "journal.jsonl";
    const FlashRun run =
        TevrFlash({"flash", file, "--port", sim->TerminalPath(), "--json", "--journal", journal,
                   "--trusted-key", PublicKeyText(key), "--require-signature"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_TRUE(Landed(file));
    // Before the port's first line.
    ASSERT_GE(run.lines.size(), 2u);
    EXPECT_EQ(run.lines[0],
              "tevr-flash: " + file + ": signed release " + kRelease + " (key " + id + ")");
    const Json start = Json::parse(run.out.substr(0, run.out.find('\n')));
    EXPECT_EQ(start.at("event"), "start");
    EXPECT_EQ(start.at("release"), kRelease);
    EXPECT_EQ(start.at("key_id"), id);
    const Json entry = Json::parse(ReadWhole(journal));
    EXPECT_EQ(entry.at("release"), kRelease);
    EXPECT_EQ(entry.at("key_id"), id);
    EXPECT_EQ(entry.at("result"), "done");

    // Not signed: no release, null in JSON.
    sim->Stop();
    sim = std::make_unique<BootLoaderSim>(SimOptions{});
    sim->Start();
    const std::string plain = WriteHexFile(folder / "plain.hex", {DataAt(0x0200, 0x300)});
    const FlashRun unsigned_ =
        TevrFlash({"flash", plain, "--port", sim->TerminalPath(), "--json", "--journal", journal});
    ASSERT_EQ(unsigned_.status, kExitOk) << unsigned_.err;
    EXPECT_TRUE(
        Json::parse(unsigned_.out.substr(0, unsigned_.out.find('\n'))).at("release").is_null());
}

TEST_F(ReleaseTest, WhatTheTrustedKeyDidNotSignOpensNoPort) {
    const std::vector<std::string> trust{"--trusted-key", key.publicKeyFile};
    const std::string signature =
        " does not match the update file: the file was altered, or the "
        "signature is another file's";

    const std::string altered = Signed("altered.hex");
    std::string bytes = ReadWhole(altered);
    bytes[bytes.find(":10") + 10] ^= 0x01;  // one data digit of the first record
    folder.Write("altered.hex", bytes);
    ExpectRefused(altered, trust, "the release signature " + altered + ".minisig" + signature);

    const std::string comment = Signed("comment.hex");
    const std::string minisig = ReadWhole(comment + ".minisig");
    folder.Write("comment.hex.minisig", minisig.substr(0, minisig.find("2.3.1")) + "2.4.0" +
                                            minisig.substr(minisig.find("2.3.1") + 5));
    ExpectRefused(comment, trust,
                  "the trusted comment of the release signature " + comment +
                      ".minisig was altered after signing");

    const SigningKey other = MakeSigningKey(folder, "other");
    const std::string foreign = WriteHexFile(folder / "foreign.hex", {DataAt(0x0200, 0x300)});
    SignRelease(other, foreign, kRelease);
    ExpectRefused(
        foreign, trust,
        "the update file is signed with key " + KeyIdOf(other) + ", which is not trusted here");

    const std::string plain = WriteHexFile(folder / "plain.hex", {DataAt(0x0200, 0x300)});
    std::vector<std::string> required = trust;
    required.push_back("--require-signature");
    ExpectRefused(plain, required,
                  "the update file has no release signature " + plain +
                      ".minisig; only signed releases are loaded here");
    ExpectRefused(plain, {"--require-signature"},
                  "a release signature is required, but no key is trusted "
                  "(/etc/tevr-loader/trusted-keys)");
}

TEST_F(ReleaseTest, StationFileAndSystemKeysSetTheLockOnce) {
    // A legacy signature, trusted and required by the station file.
    const std::string file = Signed("fw.hex", "ТЕВР-R7 2.2.0", true);
    const std::string station = folder.Write(
        "station.toml", "[flash]\nport = \"" + sim->TerminalPath() + "\"\ntrusted-key = [\"" +
                            key.publicKeyFile + "\"]\nrequire-signature = true\n");
    const FlashRun run = TevrFlash({"--config", station, "flash", file});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_TRUE(run.Mentions("signed release ТЕВР-R7 2.2.0"));
    EXPECT_TRUE(Landed(file));
    const std::string plain = WriteHexFile(folder / "plain.hex", {DataAt(0x0200, 0x300)});
    EXPECT_EQ(TevrFlash({"--config", station, "flash", plain}).status, kExitError);

    // The system's trusted-keys file, as a supervisor installs it: the .pub as it is.
    const TempFolder etc;
    setenv("TEVR_LOADER_CONFIG", etc.Path().c_str(), 1);
    const std::string keys = etc.Write("trusted-keys", "# line 3\n" + ReadWhole(key.publicKeyFile));
    const FlashRun plan = TevrFlash({"plan", file});
    EXPECT_NE(plan.out.find("ТЕВР-R7 2.2.0 (key " + KeyIdOf(key) + ")"), std::string::npos)
        << plan.out << plan.err;
    // A key of zeros would trust anything: never handed to the library, the file named.
    etc.Write("trusted-keys", "RWQBAgMEBQYHCAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA\n");
    const FlashRun zero = TevrFlash({"plan", file});
    EXPECT_EQ(zero.status, kExitError);
    EXPECT_EQ(zero.lines.back(), "tevr-flash: " + keys +
                                     ": line 1: a public key of zeros is refused: it would "
                                     "trust anything");
    unsetenv("TEVR_LOADER_CONFIG");
    const FlashRun typo = TevrFlash({"plan", file, "--trusted-key", folder / "relase.pub"});
    EXPECT_EQ(typo.status, kExitError);
    EXPECT_TRUE(typo.Mentions("relase.pub: neither a public key nor a file")) << typo.err;
}

}  // namespace
}  // namespace line_test
