// SPDX-License-Identifier: MIT
#include "cli/ReleaseCheck.h"

#include "base/Translation.h"
#include "cli/MessageTexts.h"
#include "cli/Printable.h"
#include "cli/SubjectError.h"
#include "files/SystemFile.h"
#include "files/UpdateFiles.h"
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

std::vector<TrustedKey> ArgumentKeys(const std::vector<std::string>& keys) {
    std::vector<TrustedKey> trusted;
    for (const std::string& argument : keys)
        for (const TrustedKey& key : KeysOfArgument(argument))
            trusted.push_back(key);
    return trusted;
}

PreparedUpdate PrepareRelease(const std::string& file, const UpdateDemands& demands,
                              ConvertedUpdate& lists) {
    NullGauge gauge;
    try {
        return PrepareUpdateFile(file, demands, lists, gauge);
    } catch (const SubjectError&) {
        throw;
    } catch (const EKeyError& refused) {
        const KeyProblem& problem = refused.Problem();
        throw SubjectError(PrintableText(problem.keysFile), KeyProblemText(problem));
    } catch (const ESignatureError& refused) {
        SignatureProblem problem = refused.Problem();
        problem.signatureFile = PrintableText(problem.signatureFile);
        throw SubjectError(file, SignatureProblemText(problem));
    } catch (const std::exception& error) {
        throw SubjectError(file, MessageOf(error));
    }
}

std::string PrintableReleaseText(const ReleaseSignature& release) {
    ReleaseSignature shown = release;
    shown.trustedComment = PrintableText(release.trustedComment);
    return ReleaseText(shown);
}
