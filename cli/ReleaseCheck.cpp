// SPDX-License-Identifier: MIT
#include "cli/ReleaseCheck.h"

#include "base/Translation.h"
#include "cli/MessageTexts.h"
#include "cli/Printable.h"
#include "cli/SubjectError.h"
#include "loader/SystemConfig.h"
#include "loader/TextFile.h"
#include "words/Words.h"

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
                throw SubjectError(subject, MessageOf(error));
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
        throw SubjectError(PrintableText(system), MessageOf(error));
    }
    return policy;
}

std::optional<ReleaseSignature> CheckRelease(const std::string& file, std::string_view bytes,
                                             const SignaturePolicy& policy) {
    try {
        return CheckReleaseSignature(file, bytes, policy);
    } catch (const ESignatureError& refused) {
        SignatureProblem problem = refused.Problem();
        problem.signatureFile = PrintableText(problem.signatureFile);
        throw SubjectError(file, SignatureProblemText(problem));
    }
}

std::string PrintableReleaseText(const ReleaseSignature& release) {
    ReleaseSignature shown = release;
    shown.trustedComment = PrintableText(release.trustedComment);
    return ReleaseText(shown);
}
