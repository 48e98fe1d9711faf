// SPDX-License-Identifier: MIT
#include "loader/ReleaseFaults.h"

const char* KeyFaultCode(KeyFault fault) {
    switch (fault) {
        case KeyFault::NoKey:
            return "no-key";
        case KeyFault::NotBase64:
            return "key-not-base64";
        case KeyFault::WrongLength:
            return "key-wrong-length";
        case KeyFault::WrongAlgorithm:
            return "key-not-ed25519";
        case KeyFault::AllZero:
            return "key-all-zero";
        case KeyFault::FileUnreadable:
            return "trusted-keys-unreadable";
    }
    return "key";
}

EKeyError::EKeyError(KeyProblem problem)
    : std::runtime_error(std::string("key refused: ") + KeyFaultCode(problem.fault)),
      problem_(problem) {}

const char* SignatureFaultCode(SignatureFault fault) {
    switch (fault) {
        case SignatureFault::Missing:
            return "signature-missing";
        case SignatureFault::NoTrustedKey:
            return "no-trusted-key";
        case SignatureFault::Unreadable:
            return "signature-unreadable";
        case SignatureFault::Malformed:
            return "signature-malformed";
        case SignatureFault::UntrustedKey:
            return "key-not-trusted";
        case SignatureFault::Invalid:
            return "signature-invalid";
        case SignatureFault::CommentAltered:
            return "trusted-comment-altered";
        case SignatureFault::LegacyTooLong:
            return "legacy-signature-too-long";
    }
    return "signature";
}

ESignatureError::ESignatureError(SignatureProblem problem)
    : std::runtime_error(std::string("update file refused: ") + SignatureFaultCode(problem.fault)),
      problem_(std::move(problem)) {}
