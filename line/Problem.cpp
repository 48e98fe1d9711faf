// SPDX-License-Identifier: MIT
#include "line/Problem.h"

Problem ProblemOf(const std::exception& error) {
    if (const auto* refused = dynamic_cast<const EConvertError*>(&error)) return refused->Problem();
    if (const auto* unread = dynamic_cast<const EInOutError*>(&error))
        return FileProblem{unread->Fault(), unread->Code()};
    if (const auto* serial = dynamic_cast<const EVaCommError*>(&error))
        return SerialProblem{serial->Fault(), serial->Code(), serial->Device(),
                             serial->SystemFault(), serial->Holder()};
    if (const auto* signature = dynamic_cast<const ESignatureError*>(&error))
        return signature->Problem();
    if (const auto* key = dynamic_cast<const EKeyError*>(&error)) return key->Problem();
    return UnexpectedProblem{error.what()};
}
