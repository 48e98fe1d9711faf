// SPDX-License-Identifier: MIT
#pragma once
// Releases signed as a release engineer signs them: with Debian's minisign, run for the test
// (Linux only).
#include <string>

#include "support/TempFolder.h"

struct SigningKey {
    std::string publicKeyFile;  // NAME.pub, as minisign writes it
    std::string secretKeyFile;  // NAME.key, without a password
};

// A fresh key pair in `folder` (minisign -G -W).
SigningKey MakeSigningKey(const TempFolder& folder, const std::string& name);

// The base64 line of a .pub file: the key's text as --trusted-key takes it.
std::string PublicKeyText(const SigningKey& key);

// Writes FILE.minisig with `trustedComment` (minisign -S; -l: a legacy signature).
void SignRelease(const SigningKey& key, const std::string& file, const std::string& trustedComment,
                 bool legacy = false);
