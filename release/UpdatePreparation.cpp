// SPDX-License-Identifier: MIT
#include "release/UpdatePreparation.h"

#include "loader/Conversion.h"

SignaturePolicy StationPolicy(const StationKeys& keys, const UpdateDemands& demands) {
    SignaturePolicy policy;
    policy.trusted = demands.extraKeys;
    policy.trustedKeysFile = keys.file;
    if (keys.text) {
        try {
            for (const TrustedKey& key : ParseTrustedKeys(*keys.text))
                policy.trusted.push_back(key);
        } catch (const EKeyError& refused) {
            KeyProblem problem = refused.Problem();
            problem.keysFile = keys.file;
            throw EKeyError(std::move(problem));
        }
    }
    switch (demands.signature) {
        case SignatureRule::OnceKeyTrusted:
            policy.required = !policy.trusted.empty();
            break;
        case SignatureRule::Always:
            policy.required = true;
            break;
        case SignatureRule::WhereFound:
            policy.required = false;
            break;
    }
    return policy;
}

PreparedUpdate PrepareUpdate(UpdateInput input, const StationKeys& keys,
                             const UpdateDemands& demands, ConvertedUpdate& lists,
                             ProgressGauge& gauge) {
    lists.recordList.clear();
    lists.transferScript.clear();
    PreparedUpdate prepared;
    try {
        const SignaturePolicy policy = StationPolicy(keys, demands);
        prepared.keysTrusted = !policy.trusted.empty();
        if (demands.digested) demands.digested(DigestBytes(input.bytes));
        prepared.release = CheckRelease(input.bytes, input.signature, policy);
    } catch (...) {
        // Nothing of a refused file may reach a transfer.
        lists.ScriptLineCount = 0;
        throw;
    }
    ConvertUpdateBytes(input.bytes, lists, gauge);
    prepared.bytes = std::move(input.bytes);
    return prepared;
}
