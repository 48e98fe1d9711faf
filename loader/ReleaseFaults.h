// SPDX-License-Identifier: MIT
#pragma once
// What the check of a release reports: a refused trusted key, a release signature that does not
// hold, and the release verified, as kinds with their data and never as words. Plain data of the
// portable core, so that every layer may catch and word them; the check itself, with its
// cryptography, is loader/ReleaseSignature.h.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "loader/Errors.h"

// ----- Keys ------------------------------------------------------------------------------------

enum class KeyFault : uint8_t {
    NoKey,           // nothing but comments where a key was expected
    NotBase64,       // the key line is not Base64
    WrongLength,     // not the 42 bytes of a minisign public key
    WrongAlgorithm,  // not an Ed25519 key ("Ed")
    AllZero,         // a key of zeros, which anything would verify against
    FileUnreadable,  // the trusted-keys file exists but cannot be read: fileFault, fileCode
};

// A stable name of the fault ("key-not-base64").
const char* KeyFaultCode(KeyFault fault);

struct KeyProblem {
    KeyFault fault = KeyFault::NoKey;
    int line = 0;  // of a trusted-keys file, 1-based; 0 for a key given alone
    // The station's trusted-keys file the key stands in; empty for a key given alone.
    std::string keysFile{};
    // FileUnreadable: the file error.
    FileFault fileFault = FileFault::Other;
    int fileCode = 0;
};

class EKeyError : public std::runtime_error {
public:
    explicit EKeyError(KeyProblem problem);
    const KeyProblem& Problem() const { return problem_; }

private:
    KeyProblem problem_;
};

// ----- Signatures ------------------------------------------------------------------------------

enum class SignatureFault : uint8_t {
    Missing,         // no FILE.minisig, and one is required
    NoTrustedKey,    // a signature is required, but no key is trusted: trustedKeysFile
    Unreadable,      // FILE.minisig exists but cannot be read: detail = the file error's message
    Malformed,       // FILE.minisig is not a minisign signature
    UntrustedKey,    // made by a key that is not trusted: keyId
    Invalid,         // the file's bytes are not what was signed (altered, or signed for another)
    CommentAltered,  // the trusted comment is not the one signed
    LegacyTooLong,   // a legacy signature of a file longer than this system's library checks:
                     // limit = its length in bytes
};

// A stable name of the fault for machine-readable output ("signature-missing").
const char* SignatureFaultCode(SignatureFault fault);

struct SignatureProblem {
    SignatureFault fault = SignatureFault::Missing;
    std::string signatureFile{};  // FILE.minisig
    std::string keyId{};          // of the signature, where it was read
    // Unreadable: the file error, and its message in the runtime's words.
    FileFault fileFault = FileFault::Other;
    size_t limit = 0;
    int fileCode = 0;
    std::string detail{};
    // NoTrustedKey: where the station's trusted keys would lie.
    std::string trustedKeysFile{};
};

// A release signature that does not hold; nothing of the file may be flashed.
class ESignatureError : public std::runtime_error {
public:
    explicit ESignatureError(SignatureProblem problem);
    const SignatureProblem& Problem() const { return problem_; }

private:
    SignatureProblem problem_;
};

// A verified release: what its trusted comment says, and who signed it.
struct ReleaseSignature {
    std::string trustedComment;    // covered by the signature: names the release
    std::string untrustedComment;  // not covered; shown nowhere as the release
    std::string keyId;             // KeyIdText of the signing key
    bool prehashed = true;         // "ED" (BLAKE2b-512 of the file); false: legacy "Ed"
};
