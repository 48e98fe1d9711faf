// SPDX-License-Identifier: MIT
#include "cli/ReleaseCheck.h"

#include "base/Translation.h"
#include "cli/MessageTexts.h"
#include "cli/Printable.h"
#include "cli/SubjectError.h"
#include "loader/SystemConfig.h"
#include "loader/TextFile.h"

namespace {
// A --trusted-key: the key's text, or else a file of keys. The text is tried first: a key's
// Base64 may hold "/", which Windows takes for a folder that is not there.
std::vector<TrustedKey> KeysOfArgument(const std::string& argument) {
    const std::string subject = PrintableText(argument);
    std::string text;
    try {
        return {ParsePublicKey(argument)};
    } catch (const EKeyError& asKey) {
        try {
            text = ReadFileBytes(argument);
        } catch (const EInOutError& error) {
            if (error.Fault() != FileFault::NotFound && error.Fault() != FileFault::InvalidName)
                throw SubjectError(subject, FileErrorText(error));
            throw SubjectError(subject, Fill(Tr("neither a public key nor a file: %1"),
                                             {KeyProblemText(asKey.Problem())}));
        }
    }
    try {
        std::vector<TrustedKey> keys = ParseTrustedKeys(text);
        if (keys.empty()) throw EKeyError({KeyFault::NoKey, 0});
        return keys;
    } catch (const EKeyError& refused) {
        throw SubjectError(subject, KeyProblemText(refused.Problem()));
    }
}
}  // namespace

std::string KeyProblemText(const KeyProblem& problem) {
    std::string text;
    switch (problem.fault) {
        case KeyFault::NoKey:
            text = Tr("holds no public key");
            break;
        case KeyFault::NotBase64:
            text = Tr("not a minisign public key (not Base64)");
            break;
        case KeyFault::WrongLength:
            text = Tr("not a minisign public key (wrong length)");
            break;
        case KeyFault::WrongAlgorithm:
            text = Tr("not an Ed25519 public key");
            break;
        case KeyFault::AllZero:
            text = Tr("a public key of zeros is refused: it would trust anything");
            break;
    }
    if (problem.line == 0) return text;
    return Fill(Tr("line %1: %2"), {std::to_string(problem.line), text});
}

std::string SignatureProblemText(const SignatureProblem& p) {
    const std::string signature = PrintableText(p.signatureFile);
    switch (p.fault) {
        case SignatureFault::Missing:
            return Fill(Tr("refused: no release signature %1; this station flashes signed "
                           "releases only"),
                        {signature});
        case SignatureFault::NoTrustedKey:
            return Fill(Tr("refused: a release signature is required, but no key is trusted "
                           "(--trusted-key or %1)"),
                        {SystemTrustedKeysPath()});
        case SignatureFault::Unreadable:
            return Fill(Tr("refused: its signature %1 cannot be read: %2"),
                        {signature, FileErrorText(EInOutError(p.fileFault, p.fileCode, p.detail))});
        case SignatureFault::Malformed:
            return Fill(Tr("refused: %1 is not a minisign signature"), {signature});
        case SignatureFault::UntrustedKey:
            return Fill(Tr("refused: signed with key %1, which this station does not trust"),
                        {p.keyId});
        case SignatureFault::Invalid:
            return Fill(Tr("refused: the signature %1 does not match the file: the file was "
                           "altered, or the signature is another file's"),
                        {signature});
        case SignatureFault::CommentAltered:
            return Fill(Tr("refused: the trusted comment of %1 was altered after signing"),
                        {signature});
        case SignatureFault::LegacyTooLong:
            return Fill(Tr("refused: %1 is a legacy signature, which can be checked here only "
                           "for files up to %2 bytes; sign the release again without -l"),
                        {signature, std::to_string(p.limit)});
    }
    return Tr("refused: release signature");
}

SignaturePolicy StationPolicy(const std::vector<std::string>& keys, bool required) {
    SignaturePolicy policy;
    policy.required = required;
    for (const std::string& argument : keys)
        for (const TrustedKey& key : KeysOfArgument(argument))
            policy.trusted.push_back(key);
    const std::string system = SystemTrustedKeysPath();
    try {
        for (const TrustedKey& key : ReadTrustedKeys(system))
            policy.trusted.push_back(key);
    } catch (const EKeyError& refused) {
        throw SubjectError(PrintableText(system), KeyProblemText(refused.Problem()));
    } catch (const EInOutError& error) {
        throw SubjectError(PrintableText(system), FileErrorText(error));
    }
    return policy;
}

std::optional<ReleaseSignature> CheckRelease(const std::string& file, std::string_view bytes,
                                             const SignaturePolicy& policy) {
    try {
        return CheckReleaseSignature(file, bytes, policy);
    } catch (const ESignatureError& refused) {
        throw SubjectError(file, SignatureProblemText(refused.Problem()));
    }
}

std::string ReleaseText(const ReleaseSignature& release) {
    return Fill(Tr("%1 (key %2)"), {PrintableText(release.trustedComment), release.keyId});
}
