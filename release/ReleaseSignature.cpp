// SPDX-License-Identifier: MIT
#include "release/ReleaseSignature.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "base/HexDigits.h"

namespace {
// minisign's prefixes and sizes.
constexpr std::string_view kUntrustedPrefix = "untrusted comment:";
constexpr std::string_view kTrustedPrefix = "trusted comment: ";
constexpr std::string_view kKeyAlgorithm = "Ed";
constexpr std::string_view kLegacyAlgorithm = "Ed";
constexpr std::string_view kPrehashedAlgorithm = "ED";
constexpr size_t kAlgorithmBytes = 2;
constexpr size_t kPublicKeyBytes =
    kAlgorithmBytes + std::tuple_size_v<KeyId> + std::tuple_size_v<Ed25519PublicKey>;
constexpr size_t kSignatureBytes =
    kAlgorithmBytes + std::tuple_size_v<KeyId> + std::tuple_size_v<Ed25519Signature>;

std::string_view TrimmedLine(std::string_view line) {
    const size_t end = line.find_last_not_of(" \t\r");
    if (end == std::string_view::npos) return {};
    const size_t start = line.find_first_not_of(" \t");
    return line.substr(start, end + 1 - start);
}

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        // Mail and Windows editors may have ended the lines with CR LF.
        if (line.ends_with('\r')) line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

template <size_t N>
std::array<uint8_t, N> Take(const std::string& bytes, size_t offset) {
    assert(offset + N <= bytes.size());
    std::array<uint8_t, N> taken{};
    std::memcpy(taken.data(), bytes.data() + offset, N);
    return taken;
}

TrustedKey KeyOfLine(std::string_view line, int lineNumber) {
    const auto refuse = [lineNumber](KeyFault fault) { return EKeyError({fault, lineNumber}); };
    const std::optional<std::string> bytes = DecodeBase64(TrimmedLine(line));
    if (!bytes) throw refuse(KeyFault::NotBase64);
    if (bytes->size() != kPublicKeyBytes) throw refuse(KeyFault::WrongLength);
    if (std::string_view(*bytes).substr(0, kAlgorithmBytes) != kKeyAlgorithm)
        throw refuse(KeyFault::WrongAlgorithm);
    TrustedKey key;
    key.id = Take<std::tuple_size_v<KeyId>>(*bytes, kAlgorithmBytes);
    key.key = Take<std::tuple_size_v<Ed25519PublicKey>>(*bytes, kAlgorithmBytes + key.id.size());
    if (std::all_of(key.key.begin(), key.key.end(), [](uint8_t b) { return b == 0; }))
        throw refuse(KeyFault::AllZero);
    return key;
}

bool IsComment(std::string_view line) {
    const std::string_view trimmed = TrimmedLine(line);
    return trimmed.empty() || trimmed.starts_with('#') || trimmed.starts_with(kUntrustedPrefix);
}

[[noreturn]] void Refuse(SignatureFault fault, std::string keyId = {}) {
    SignatureProblem problem;
    problem.fault = fault;
    problem.keyId = std::move(keyId);
    throw ESignatureError(std::move(problem));
}

std::string_view AsText(const auto& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}
}  // namespace

std::string KeyIdText(const KeyId& id) {
    // minisign reads the id as a little-endian number and prints it without leading zeros, as
    // its .pub file's comment names the key: the supervisor compares the two.
    std::string text;
    for (auto byte = id.rbegin(); byte != id.rend(); ++byte)
        text += HexDigits(*byte, 2);
    const size_t first = text.find_first_not_of('0');
    return first == std::string::npos ? "0" : text.substr(first);
}

TrustedKey ParsePublicKey(std::string_view text) {
    for (std::string_view line : Lines(text))
        if (!IsComment(line)) return KeyOfLine(line, 0);
    throw EKeyError({KeyFault::NoKey, 0});
}

std::vector<TrustedKey> ParseTrustedKeys(std::string_view text) {
    std::vector<TrustedKey> keys;
    int number = 0;
    for (std::string_view line : Lines(text)) {
        ++number;
        if (number == 1 && line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);  // Notepad
        if (!IsComment(line)) keys.push_back(KeyOfLine(line, number));
    }
    return keys;
}

ReleaseSignature VerifyReleaseSignature(std::string_view bytes, std::string_view signatureText,
                                        const std::vector<TrustedKey>& trusted) {
    if (signatureText.size() > kSignatureTextLimit) Refuse(SignatureFault::Malformed);
    // Opened and saved in Notepad on the way: its byte-order mark is no part of the signature.
    if (signatureText.starts_with("\xEF\xBB\xBF")) signatureText.remove_prefix(3);
    const std::vector<std::string_view> lines = Lines(signatureText);
    if (lines.size() < 4 || !lines[0].starts_with(kUntrustedPrefix) ||
        !lines[2].starts_with(kTrustedPrefix))
        Refuse(SignatureFault::Malformed);
    for (size_t i = 4; i < lines.size(); ++i)
        if (!TrimmedLine(lines[i]).empty()) Refuse(SignatureFault::Malformed);
    const std::optional<std::string> signature = DecodeBase64(TrimmedLine(lines[1]));
    const std::optional<std::string> global = DecodeBase64(TrimmedLine(lines[3]));
    if (!signature || signature->size() != kSignatureBytes || !global ||
        global->size() != std::tuple_size_v<Ed25519Signature>)
        Refuse(SignatureFault::Malformed);
    const std::string_view algorithm = std::string_view(*signature).substr(0, kAlgorithmBytes);
    if (algorithm != kPrehashedAlgorithm && algorithm != kLegacyAlgorithm)
        Refuse(SignatureFault::Malformed);

    ReleaseSignature release;
    release.prehashed = algorithm == kPrehashedAlgorithm;
    const KeyId id = Take<std::tuple_size_v<KeyId>>(*signature, kAlgorithmBytes);
    release.keyId = KeyIdText(id);
    const auto key = std::find_if(trusted.begin(), trusted.end(),
                                  [&](const TrustedKey& k) { return k.id == id; });
    if (key == trusted.end()) Refuse(SignatureFault::UntrustedKey, release.keyId);

    if (!release.prehashed && bytes.size() > Ed25519MessageLimit()) {
        SignatureProblem problem;
        problem.fault = SignatureFault::LegacyTooLong;
        problem.keyId = release.keyId;
        problem.limit = Ed25519MessageLimit();
        throw ESignatureError(std::move(problem));
    }
    const auto fileSignature =
        Take<std::tuple_size_v<Ed25519Signature>>(*signature, kAlgorithmBytes + id.size());
    const bool fileHolds = release.prehashed
                               ? VerifyEd25519(fileSignature, AsText(Blake2b512Of(bytes)), key->key)
                               : VerifyEd25519(fileSignature, bytes, key->key);
    if (!fileHolds) Refuse(SignatureFault::Invalid, release.keyId);

    // The comment's signature covers the file's signature and the comment together, so that a
    // comment cannot be moved onto another file's signature.
    release.trustedComment = std::string(lines[2].substr(kTrustedPrefix.size()));
    const std::string covered = std::string(AsText(fileSignature)) + release.trustedComment;
    if (!VerifyEd25519(Take<std::tuple_size_v<Ed25519Signature>>(*global, 0), covered, key->key))
        Refuse(SignatureFault::CommentAltered, release.keyId);
    release.untrustedComment = std::string(TrimmedLine(lines[0].substr(kUntrustedPrefix.size())));
    return release;
}

std::string SignatureFileOf(const std::string& updateFile) {
    return updateFile + ".minisig";
}

std::optional<ReleaseSignature> CheckRelease(std::string_view bytes, const SignatureFile& signature,
                                             const SignaturePolicy& policy) {
    try {
        if (policy.trusted.empty()) {
            if (!policy.required) return std::nullopt;
            SignatureProblem problem;
            problem.fault = SignatureFault::NoTrustedKey;
            problem.trustedKeysFile = policy.trustedKeysFile;
            throw ESignatureError(std::move(problem));
        }
        if (signature.unreadable) throw ESignatureError(*signature.unreadable);
        if (!signature.text) {
            if (!policy.required) return std::nullopt;
            Refuse(SignatureFault::Missing);
        }
        return VerifyReleaseSignature(bytes, *signature.text, policy.trusted);
    } catch (const ESignatureError& error) {
        SignatureProblem problem = error.Problem();
        problem.signatureFile = signature.name;
        throw ESignatureError(std::move(problem));
    }
}
