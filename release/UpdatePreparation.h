// SPDX-License-Identifier: MIT
#pragma once
// One update file made ready for a board, the same way in every front end: its bytes read once,
// their digest where the front end asks for it, the station's release policy (its trusted keys,
// whether a signature is required), the release signature's check, the conversion. Bytes and texts
// in, no file read here: the desktops read them through loader/UpdateFiles.h, a page from the
// browser. Every refusal is a typed error (EKeyError, ESignatureError, EConvertError) that
// ProblemOf takes.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "loader/ConvertedUpdate.h"
#include "loader/ProgressGauge.h"
#include "release/FileDigest.h"
#include "release/ReleaseSignature.h"

// When an update file must carry a release signature.
enum class SignatureRule : uint8_t {
    // Once the station trusts a key: it then flashes nothing its makers did not sign (the window,
    // and any front end that says nothing else).
    OnceKeyTrusted,
    Always,      // every file, trusted key or not (tevr-flash --require-signature)
    WhereFound,  // a signature found is checked, a file without one passes (tevr-flash otherwise)
};

// The station's trusted-keys file as a front end has read it: the administrator's
// (loader/SystemConfig.h), or a page's beside it.
struct StationKeys {
    std::string file;                 // where it lies, as refusals name it
    std::optional<std::string> text;  // none: there is no such file, so no key is trusted there
};

// What a front end asks of an update file besides the station's keys.
struct UpdateDemands {
    SignatureRule signature = SignatureRule::OnceKeyTrusted;
    // Keys it trusts besides the station's (tevr-flash's --trusted-key), parsed already.
    std::vector<TrustedKey> extraKeys{};
    // Where given, the bytes' digest (SHA-256) is taken and handed here before anything else is
    // made of them: for the journal, and a station locked to one firmware, which refuses by
    // throwing. None is taken otherwise (a page's library may have no SHA-256).
    std::function<void(const FileDigest&)> digested{};
};

// The update file as a front end has read it: every byte once, and the signature beside it.
struct UpdateInput {
    std::string bytes;
    SignatureFile signature;
};

// What the preparation learnt of the bytes it made ready.
struct PreparedUpdate {
    std::string bytes;  // as read: what the digest, the check and the conversion saw
    // The verified release; none for a file without a signature where none is required.
    std::optional<ReleaseSignature> release;
    bool keysTrusted = false;  // the station trusts a key: a file without a release is unsigned
};

// The policy of a station that trusts `keys` and `demands.extraKeys`. Throws EKeyError naming the
// keys' file for a bad line.
SignaturePolicy StationPolicy(const StationKeys& keys, const UpdateDemands& demands);

// Empties both lists; then the station's policy, the digest for `demands.digested`, the release
// signature's check and the conversion into `lists` (ConvertUpdateBytes). Throws EKeyError,
// ESignatureError, EConvertError and what `digested` throws; a file refused before the
// conversion leaves both lists empty and ScriptLineCount 0.
PreparedUpdate PrepareUpdate(UpdateInput input, const StationKeys& keys,
                             const UpdateDemands& demands, ConvertedUpdate& lists,
                             ProgressGauge& gauge);
