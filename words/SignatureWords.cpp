// SPDX-License-Identifier: MIT
#include "base/Translation.h"
#include "words/Words.h"

std::string SignatureProblemText(const SignatureProblem& p) {
    const std::string& signature = p.signatureFile;
    switch (p.fault) {
        case SignatureFault::Missing:
            return Fill(Tr("the update file has no release signature %1; only signed releases "
                           "are loaded here"),
                        {signature});
        case SignatureFault::NoTrustedKey:
            return Fill(Tr("a release signature is required, but no key is trusted (%1)"),
                        {p.trustedKeysFile});
        case SignatureFault::Unreadable:
            return Fill(Tr("the release signature %1 cannot be read: %2"),
                        {signature, FileProblemText({p.fileFault, p.fileCode})});
        case SignatureFault::Malformed:
            return Fill(Tr("%1 is not a minisign signature"), {signature});
        case SignatureFault::UntrustedKey:
            return Fill(Tr("the update file is signed with key %1, which is not trusted here"),
                        {p.keyId});
        case SignatureFault::Invalid:
            return Fill(Tr("the release signature %1 does not match the update file: the file "
                           "was altered, or the signature is another file's"),
                        {signature});
        case SignatureFault::CommentAltered:
            return Fill(Tr("the trusted comment of the release signature %1 was altered after "
                           "signing"),
                        {signature});
        case SignatureFault::LegacyTooLong:
            return Fill(TrN("%1 is a signature in the legacy format, which can be checked here "
                            "only for files of up to %2 byte; sign the release again without -l",
                            "%1 is a signature in the legacy format, which can be checked here "
                            "only for files of up to %2 bytes; sign the release again without -l",
                            p.limit),
                        {signature, std::to_string(p.limit)});
    }
    return Tr("the release signature does not hold");
}

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
        case KeyFault::FileUnreadable:
            return FileProblemText({problem.fileFault, problem.fileCode});
    }
    if (problem.line == 0) return text;
    return Fill(Tr("line %1: %2"), {std::to_string(problem.line), text});
}

std::string TrustedKeysProblemText(const std::string& path, const KeyProblem& problem) {
    return Fill(Tr("the trusted-keys file %1 is refused: %2"), {path, KeyProblemText(problem)});
}

std::string TrustedKeysUnreadableText(const std::string& path, const FileProblem& problem) {
    return Fill(Tr("the trusted-keys file %1 cannot be read: %2"),
                {path, FileProblemText(problem)});
}

std::string ReleaseText(const ReleaseSignature& release) {
    // One line: the comment is the signer's text, and no place for control characters.
    std::string comment = release.trustedComment;
    for (char& c : comment)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return Fill(Tr("%1 (key %2)"), {comment, release.keyId});
}
