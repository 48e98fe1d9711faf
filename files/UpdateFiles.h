// SPDX-License-Identifier: MIT
#pragma once
// The update preparation (loader/UpdatePreparation.h) over the system's files, for the front ends
// that have them: the update file and its FILE.minisig read once, and the administrator's
// trusted-keys file, which no front end can leave out.
#include <optional>
#include <string>
#include <string_view>

#include "loader/ConvertedUpdate.h"
#include "loader/ProgressGauge.h"
#include "release/FileDigest.h"
#include "release/ReleaseSignature.h"
#include "release/UpdatePreparation.h"

// The administrator's trusted-keys file (SystemTrustedKeysPath). Throws EKeyError
// (FileUnreadable) when it is there but cannot be read: a station must not fall open silently.
StationKeys ReadStationKeys();

// FILE.minisig beside `updateFile`.
SignatureFile ReadSignatureFile(const std::string& updateFile);

// The update file at `path`, read once, and its signature. Throws EInOutError.
UpdateInput ReadUpdateInput(const std::string& path);

// The one preparation of the update file at `path`: the station's keys, the file and its
// signature read, then PrepareUpdate. Throws as PrepareUpdate does, EKeyError for the station's
// keys' file and EInOutError for the update file; both lists are empty and ScriptLineCount 0
// whenever the conversion has not begun.
PreparedUpdate PrepareUpdateFile(const std::string& path, const UpdateDemands& demands,
                                 ConvertedUpdate& lists, ProgressGauge& gauge);

// CheckRelease of `bytes` against the signature beside `updateFile`.
std::optional<ReleaseSignature> CheckReleaseSignature(const std::string& updateFile,
                                                      std::string_view bytes,
                                                      const SignaturePolicy& policy);

// The digest of the file at `path`, read whole. Throws EInOutError.
FileDigest DigestFile(const std::string& path);
