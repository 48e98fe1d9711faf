// SPDX-License-Identifier: MIT
#pragma once
// Release signatures in minisign's format (Ed25519): FILE.minisig beside the update file, whose
// trusted comment names the release, checked against the keys a station trusts. What is wrong is
// reported as a kind and its data (loader/ReleaseFaults.h), never as words: the front ends say
// it. Texts in, no file read here: the files beside the update file are read by
// loader/UpdateFiles.h, or by a page in the browser.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "loader/ReleaseFaults.h"
#include "release/Crypto.h"

// ----- Keys ------------------------------------------------------------------------------------

using KeyId = std::array<uint8_t, 8>;

// A public key as minisign writes it ("RW..." in Base64: "Ed", the key id, the key).
struct TrustedKey {
    KeyId id{};
    Ed25519PublicKey key{};
};

// The key id as minisign prints it: upper-case hexadecimal digits without leading zeros.
std::string KeyIdText(const KeyId& id);

// One key: its Base64 line alone, or a .pub file's text (an "untrusted comment:" line, then the
// key). Throws EKeyError; a key is never handed to the library unchecked.
TrustedKey ParsePublicKey(std::string_view text);

// A trusted-keys file: one key a line as minisign writes its .pub, the "untrusted comment:" line
// before it allowed; blank lines and lines beginning with "#" are comments. Throws EKeyError with
// the line of the first bad key.
std::vector<TrustedKey> ParseTrustedKeys(std::string_view text);

// ----- Signatures ------------------------------------------------------------------------------

// Checks `signatureText` (a .minisig file's text) against `bytes` and the `trusted` keys. Throws
// ESignatureError (without signatureFile) when it does not hold.
ReleaseSignature VerifyReleaseSignature(std::string_view bytes, std::string_view signatureText,
                                        const std::vector<TrustedKey>& trusted);

// What a station asks of an update file's signature.
struct SignaturePolicy {
    std::vector<TrustedKey> trusted{};
    // A file without a signature is refused.
    bool required = false;
    // Where the station's trusted keys lie, for a refusal that finds none.
    std::string trustedKeysFile{};
};

// The signature file of an update file: FILE.minisig.
std::string SignatureFileOf(const std::string& updateFile);

// A signature file is four short lines; a text longer than this is refused as none.
inline constexpr size_t kSignatureTextLimit = 64 * 1024;

// FILE.minisig as a front end found it beside the update file.
struct SignatureFile {
    std::string name;                 // as refusals name it
    std::optional<std::string> text;  // none: there is no such file
    // It is there but could not be read: the refusal (Unreadable) its check gives.
    std::optional<SignatureProblem> unreadable;
};

// The check before anything is sent: `bytes` are the update file's, read once, the very bytes
// the conversion takes. None when the file has no signature and none is required, or when no
// key is trusted and none is required (nothing to check against; the signature file is then not
// looked at). Throws ESignatureError naming the signature file.
std::optional<ReleaseSignature> CheckRelease(std::string_view bytes, const SignatureFile& signature,
                                             const SignaturePolicy& policy);
