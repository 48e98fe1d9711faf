// SPDX-License-Identifier: MIT
#pragma once
// Release signatures in minisign's format (Ed25519): FILE.minisig beside the update file, whose
// trusted comment names the release, checked against the keys a station trusts. What is wrong is
// reported as a kind and its data, never as words: the window and the command line say it.
#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "loader/Crypto.h"
#include "loader/Errors.h"

// ----- Keys ------------------------------------------------------------------------------------

using KeyId = std::array<uint8_t, 8>;

// A public key as minisign writes it ("RW..." in Base64: "Ed", the key id, the key).
struct TrustedKey {
    KeyId id{};
    Ed25519PublicKey key{};
};

// The key id as minisign prints it: upper-case hexadecimal digits without leading zeros.
std::string KeyIdText(const KeyId& id);

enum class KeyFault : uint8_t {
    NoKey,           // nothing but comments where a key was expected
    NotBase64,       // the key line is not Base64
    WrongLength,     // not the 42 bytes of a minisign public key
    WrongAlgorithm,  // not an Ed25519 key ("Ed")
    AllZero,         // a key of zeros, which anything would verify against
};

// A stable name of the fault ("key-not-base64").
const char* KeyFaultCode(KeyFault fault);

struct KeyProblem {
    KeyFault fault = KeyFault::NoKey;
    int line = 0;  // of a trusted-keys file, 1-based; 0 for a key given alone
};

class EKeyError : public std::runtime_error {
public:
    explicit EKeyError(KeyProblem problem);
    const KeyProblem& Problem() const { return problem_; }

private:
    KeyProblem problem_;
};

// One key: its Base64 line alone, or a .pub file's text (an "untrusted comment:" line, then the
// key). Throws EKeyError; a key is never handed to the library unchecked.
TrustedKey ParsePublicKey(std::string_view text);

// A trusted-keys file: one key a line as minisign writes its .pub, the "untrusted comment:" line
// before it allowed; blank lines and lines beginning with "#" are comments. Throws EKeyError with
// the line of the first bad key.
std::vector<TrustedKey> ParseTrustedKeys(std::string_view text);

// The keys of the trusted-keys file at `path`; none when there is no such file. Throws
// EInOutError when it exists but cannot be read (a station must not fall open silently) and
// EKeyError for a bad line.
std::vector<TrustedKey> ReadTrustedKeys(const std::string& path);

// ----- Signatures ------------------------------------------------------------------------------

enum class SignatureFault : uint8_t {
    Missing,         // no FILE.minisig, and one is required
    NoTrustedKey,    // a signature is required, but no key is trusted
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

// Checks `signatureText` (a .minisig file's text) against `bytes` and the `trusted` keys. Throws
// ESignatureError (without signatureFile) when it does not hold.
ReleaseSignature VerifyReleaseSignature(std::string_view bytes, std::string_view signatureText,
                                        const std::vector<TrustedKey>& trusted);

// What a station asks of an update file's signature.
struct SignaturePolicy {
    std::vector<TrustedKey> trusted{};
    // A file without a signature is refused.
    bool required = false;
};

// The signature file of an update file: FILE.minisig.
std::string SignatureFileOf(const std::string& updateFile);

// The check before anything is sent: `bytes` are the update file's, read once, the very bytes
// the conversion takes. None when the file has no signature and none is required, or when no
// key is trusted and none is required (nothing to check against). Throws ESignatureError.
std::optional<ReleaseSignature> CheckReleaseSignature(const std::string& updateFile,
                                                      std::string_view bytes,
                                                      const SignaturePolicy& policy);
