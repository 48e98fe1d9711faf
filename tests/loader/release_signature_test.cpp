// SPDX-License-Identifier: MIT
// Release signatures as minisign made them (keys and signatures below were made with minisign
// 0.11: -G -W, -S, -S -l), checked by the platform's library: libsodium on Linux, libgcrypt
// under Wine.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "files/UpdateFiles.h"
#include "release/ReleaseSignature.h"
#include "release/UpdatePreparation.h"
#include "support/TempFolder.h"

namespace {

// The signed update file, with the CR LF a Windows tool chain writes.
const std::string kFirmware = ":020000000102FB\r\n:00000001FF\r\n";

const std::string kKeyA =
    "untrusted comment: minisign public key 6AE60E3A667F4DEB\n"
    "RWTrTX9mOg7makTYoY0DP6VSXNH1x6dW+QfHw7rMXi8X3esgt4MrTiht\n";
const std::string kKeyB = "RWSlVINZoZPQuL9qnhwcoBux7GxwwegSq1UCPOcpnU1e1TaasSK6zwV3";

// By key A: prehashed ("ED") and legacy ("Ed").
const std::string kPrehashed =
    "untrusted comment: signature from minisign secret key\n"
    "RUTrTX9mOg7mag8wPSBnRe/"
    "tdpS06YpbxXvtSPtz+nPxwVDx47PB1tG4fDobdzdRPmpcfY45o2aTwEKGcd14kTuQ34WJScFH"
    "vwM=\n"
    "trusted comment: ТЕВР-R7 2.3.1\n"
    "A2fzIJ56u7snCZ0J8Y1y52iA/Q3FTRHYpAzwR4nDT71+uOQcth4/DIcLjTYlfidIwDtM9miA2vzjHlmv6IPRBg==\n";
const std::string kLegacy =
    "untrusted comment: signature from minisign secret key\n"
    "RWTrTX9mOg7maudG911wPjXYQFZhWgzgv2pOlLR8mESo6E6HOqBnCBlBdoNunnBaUjTC5eUw9/"
    "CZ+lTuGu2VeIk0ELNNxapP"
    "9Q8=\n"
    "trusted comment: ТЕВР-R7 2.3.0\n"
    "JDOy1urdZpwX19oOYmheNNxcmc6jwYbDFxeT4Gb/57jj7J5kYOyFLlEDl5ssSi/KChHCEHAKCHFQ7Nt3yBFwAA==\n";
// The same file signed by key B.
const std::string kByB =
    "untrusted comment: signature from minisign secret key\n"
    "RUSlVINZoZPQuGctLcCZw43JuNkAms/"
    "5TXBkQRxuLfzWAlOvniLgqokSX5m6CZTXboX8kJY7nf4YB56HbjFvGBb4DyqqO0dq"
    "bAg=\n"
    "trusted comment: ТЕВР-R7 2.3.1\n"
    "rzy2hYn0vXD/VFHddJzN6bypIjgx8MgtSAVgRDVrbabY5tThU/x+0IW1UJ6mnb7fdOtfsbkDSZ5woYmI4/oTAQ==\n";

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

SignatureFault FaultOf(const std::function<void()>& work) {
    try {
        work();
    } catch (const ESignatureError& e) {
        return e.Problem().fault;
    }
    ADD_FAILURE() << "not refused";
    return SignatureFault::Missing;
}

KeyProblem KeyProblemOf(const std::function<void()>& work) {
    try {
        work();
    } catch (const EKeyError& e) {
        return e.Problem();
    }
    ADD_FAILURE() << "not refused";
    return {};
}

TEST(ReleaseSignature, PrehashedAndLegacySignaturesNameTheirRelease) {
    const std::vector<TrustedKey> trusted{ParsePublicKey(kKeyB), ParsePublicKey(kKeyA)};
    const ReleaseSignature current = VerifyReleaseSignature(kFirmware, kPrehashed, trusted);
    EXPECT_EQ(current.trustedComment, "ТЕВР-R7 2.3.1");
    EXPECT_EQ(current.untrustedComment, "signature from minisign secret key");
    EXPECT_EQ(current.keyId, "6AE60E3A667F4DEB");  // as minisign prints it
    EXPECT_TRUE(current.prehashed);
    const ReleaseSignature legacy = VerifyReleaseSignature(kFirmware, kLegacy, trusted);
    EXPECT_EQ(legacy.trustedComment, "ТЕВР-R7 2.3.0");
    EXPECT_FALSE(legacy.prehashed);
    // Carried by mail and saved by Notepad: a byte-order mark and CR LF line ends.
    EXPECT_EQ(VerifyReleaseSignature(kFirmware, "\xEF\xBB\xBF" + kLegacy, trusted).keyId,
              "6AE60E3A667F4DEB");
    EXPECT_EQ(
        VerifyReleaseSignature(kFirmware, Replaced(kPrehashed, "2.3.1\n", "2.3.1\r\n"), trusted)
            .trustedComment,
        "ТЕВР-R7 2.3.1");
}

TEST(ReleaseSignature, WhatWasNotSignedByATrustedKeyIsRefused) {
    const std::vector<TrustedKey> trusted{ParsePublicKey(kKeyA)};
    const auto verify = [&](const std::string& bytes, const std::string& signature) {
        return FaultOf([&] { VerifyReleaseSignature(bytes, signature, trusted); });
    };
    std::string changed = kFirmware;
    changed[5] = '1';
    EXPECT_EQ(verify(changed, kPrehashed), SignatureFault::Invalid);
    EXPECT_EQ(verify(changed, kLegacy), SignatureFault::Invalid);
    EXPECT_EQ(verify(kFirmware, Replaced(kPrehashed, "2.3.1", "2.3.2")),
              SignatureFault::CommentAltered);
    try {
        VerifyReleaseSignature(kFirmware, kByB, trusted);
        ADD_FAILURE() << "another key's signature verified";
    } catch (const ESignatureError& e) {
        EXPECT_EQ(e.Problem().fault, SignatureFault::UntrustedKey);
        EXPECT_EQ(e.Problem().keyId, "B8D093A1598354A5");
    }
    // Another key's signature with this key's id: the key is asked, not the id believed.
    EXPECT_EQ(verify(kFirmware, Replaced(kByB, "RUSlVINZoZPQuG", "RUTrTX9mOg7mam")),
              SignatureFault::Invalid);
    // Not minisign's format: lines missing, Base64 broken, an algorithm it never writes.
    EXPECT_EQ(verify(kFirmware, kPrehashed.substr(0, 120)), SignatureFault::Malformed);
    EXPECT_EQ(verify(kFirmware, Replaced(kPrehashed, "RUTr", "R!Tr")), SignatureFault::Malformed);
    EXPECT_EQ(verify(kFirmware, Replaced(kPrehashed, "RUTr", "RVTr")), SignatureFault::Malformed);
    EXPECT_EQ(verify(kFirmware, Replaced(kPrehashed, "trusted comment: ", "trusted: ")),
              SignatureFault::Malformed);
    EXPECT_EQ(verify(kFirmware, ""), SignatureFault::Malformed);
}

// A legacy signature covers the whole file, longer than libgcrypt takes in one message: checked
// where the library can, refused with its limit where it cannot, never a crash.
TEST(ReleaseSignature, LegacySignatureOfALargeFileIsCheckedOrRefusedPlainly) {
    const std::string large(70000, 'A');
    const std::string signature =
        "untrusted comment: signature from minisign secret key\n"
        "RWTrTX9mOg7majZ4yf1xXUB/NkPlFuoUXjL4JHlg3JKw5Q2dUqTLwz/"
        "XATk348X7PYDaIYI3ruZPtgK2LC+jZ5+TDu0C"
        "b6Gp1Qk=\n"
        "trusted comment: ТЕВР-R7 2.3.1\n"
        "QaG2MHjHwg5UcBykVvs6Kato6FnRP/"
        "zkbfrCY9ggaddCd2gAmKqFtLIu0eXSVGns3EpquSt9KVx8EQzT4BStCw==\n";
    const std::vector<TrustedKey> trusted{ParsePublicKey(kKeyA)};
    if (large.size() <= Ed25519MessageLimit()) {
        EXPECT_EQ(VerifyReleaseSignature(large, signature, trusted).trustedComment,
                  "ТЕВР-R7 2.3.1");
        EXPECT_EQ(FaultOf([&] { VerifyReleaseSignature(large + "A", signature, trusted); }),
                  SignatureFault::Invalid);
    } else {
        EXPECT_EQ(FaultOf([&] { VerifyReleaseSignature(large, signature, trusted); }),
                  SignatureFault::LegacyTooLong);
    }
}

TEST(ReleaseSignature, KeysAreCheckedBeforeUse) {
    EXPECT_EQ(KeyIdText(ParsePublicKey(kKeyB).id), "B8D093A1598354A5");
    // minisign names a key whose id begins with zeros without them ("public key 66F3...").
    EXPECT_EQ(KeyIdText({0xdb, 0xdf, 0x3f, 0x70, 0x1d, 0x36, 0x6f, 0x06}), "66F361D703FDFDB");
    EXPECT_EQ(KeyProblemOf([] { ParsePublicKey("RWTrTX9mOg7makTYoY0DP6VSXNH1"); }).fault,
              KeyFault::WrongLength);
    EXPECT_EQ(KeyProblemOf([] { ParsePublicKey("not a key"); }).fault, KeyFault::NotBase64);
    EXPECT_EQ(KeyProblemOf([] { ParsePublicKey("untrusted comment: empty\n"); }).fault,
              KeyFault::NoKey);
    // "Ed", an id, and 32 zero bytes; and a key of another algorithm.
    EXPECT_EQ(KeyProblemOf([] {
                  ParsePublicKey("RWQBAgMEBQYHCAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA");
              }).fault,
              KeyFault::AllZero);
    EXPECT_EQ(KeyProblemOf([] {
                  ParsePublicKey("RURrTX9mOg7makTYoY0DP6VSXNH1x6dW+QfHw7rMXi8X3esgt4MrTiht");
              }).fault,
              KeyFault::WrongAlgorithm);

    // A trusted-keys file: .pub texts one after another, comments, CR LF.
    const std::string file = "# release keys of the line\r\n" + kKeyA + "\r\n" + kKeyB + "\r\n";
    const std::vector<TrustedKey> keys = ParseTrustedKeys(file);
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(KeyIdText(keys[0].id), "6AE60E3A667F4DEB");
    const KeyProblem bad = KeyProblemOf([&] { ParseTrustedKeys(file + "RWQ=\n"); });
    EXPECT_EQ(bad.fault, KeyFault::WrongLength);
    EXPECT_EQ(bad.line, 6);
}

TEST(ReleaseSignature, StationPolicyDecidesAboutAFileWithoutSignature) {
    TempFolder folder;
    const std::string file = folder.Write("fw.hex", kFirmware);
    const std::vector<TrustedKey> trusted{ParsePublicKey(kKeyA)};
    EXPECT_FALSE(CheckReleaseSignature(file, kFirmware, {trusted, false}));
    EXPECT_EQ(FaultOf([&] {
                  CheckReleaseSignature(file, kFirmware, {trusted, true});
              }),
              SignatureFault::Missing);
    EXPECT_EQ(FaultOf([&] {
                  CheckReleaseSignature(file, kFirmware, {{}, true});
              }),
              SignatureFault::NoTrustedKey);

    folder.Write("fw.hex.minisig", kPrehashed);
    const auto release = CheckReleaseSignature(file, kFirmware, {trusted, false});
    ASSERT_TRUE(release);
    EXPECT_EQ(release->trustedComment, "ТЕВР-R7 2.3.1");
    // The bytes checked are the ones given, not the file as it is on the disk now.
    try {
        CheckReleaseSignature(file, kFirmware + "\n", {trusted, false});
        ADD_FAILURE() << "other bytes verified";
    } catch (const ESignatureError& e) {
        EXPECT_EQ(e.Problem().fault, SignatureFault::Invalid);
        EXPECT_EQ(e.Problem().signatureFile, file + ".minisig");
    }
    // A station with no key cannot tell a signature from a forgery: nothing is claimed.
    EXPECT_FALSE(CheckReleaseSignature(file, kFirmware, {{}, false}));
}

// The one preparation from texts, as a page in the browser calls it: the station's keys decide,
// and nothing of a refused file reaches the lists.
TEST(ReleaseSignature, TheStationsKeysDecideWhatThePreparationTakes) {
    const StationKeys station{"/etc/tevr-loader/trusted-keys", kKeyA};
    const UpdateInput unsigned_{kFirmware, {"fw.hex.minisig", {}, {}}};
    NullGauge gauge;
    ConvertedUpdate lists;
    lists.ScriptLineCount = 7;
    EXPECT_EQ(FaultOf([&] { PrepareUpdate(unsigned_, station, {}, lists, gauge); }),
              SignatureFault::Missing);
    EXPECT_TRUE(lists.transferScript.empty());
    EXPECT_EQ(lists.ScriptLineCount, 0);

    UpdateDemands whereFound;
    whereFound.signature = SignatureRule::WhereFound;
    FileDigest digest;
    whereFound.digested = [&](const FileDigest& taken) { digest = taken; };
    const PreparedUpdate taken = PrepareUpdate(unsigned_, station, whereFound, lists, gauge);
    EXPECT_TRUE(taken.keysTrusted);
    EXPECT_FALSE(taken.release);
    EXPECT_EQ(digest.size, kFirmware.size());
    EXPECT_FALSE(lists.transferScript.empty());

    const UpdateInput signed_{kFirmware, {"fw.hex.minisig", kPrehashed, {}}};
    EXPECT_EQ(PrepareUpdate(signed_, station, {}, lists, gauge).release->keyId, "6AE60E3A667F4DEB");

    // A refusal names the file it comes from: the key's, or where no key was found.
    const StationKeys broken{station.file, "RWQ=\n"};
    const KeyProblem bad = KeyProblemOf([&] { PrepareUpdate(signed_, broken, {}, lists, gauge); });
    EXPECT_EQ(bad.keysFile, station.file);
    EXPECT_EQ(bad.line, 1);
    UpdateDemands always;
    always.signature = SignatureRule::Always;
    try {
        PrepareUpdate(signed_, {station.file, {}}, always, lists, gauge);
        ADD_FAILURE() << "no key, yet taken";
    } catch (const ESignatureError& e) {
        EXPECT_EQ(e.Problem().fault, SignatureFault::NoTrustedKey);
        EXPECT_EQ(e.Problem().trustedKeysFile, station.file);
    }
}

}  // namespace
