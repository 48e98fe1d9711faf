// SPDX-License-Identifier: MIT
#pragma once
// Signed releases on the command line: the keys of --trusted-key, the one update preparation
// (loader/UpdateFiles.h: the system's trusted-keys file, the file's signature, its check and its
// conversion before any port opens) with its refusals as errors about what they name, and the
// words of a release.
#include <string>
#include <vector>

#include "loader/ConvertedUpdate.h"
#include "release/UpdatePreparation.h"

// The keys of `keys`, each a key's text or a file of keys, as --trusted-key takes them. Throws
// SubjectError naming the key or the file (and its line) for a key that is refused.
std::vector<TrustedKey> ArgumentKeys(const std::vector<std::string>& keys);

// The update file `file` prepared under `demands` into `lists`. Throws SubjectError about the
// update file, or about the trusted-keys file that is refused; what `demands.digested` throws as
// a SubjectError stays as it is.
PreparedUpdate PrepareRelease(const std::string& file, const UpdateDemands& demands,
                              ConvertedUpdate& lists);

// "ТЕВР-R7 2.3.1 (key B3CE124693EF8AC8)": the release as the start line and plan show it, made
// safe for a terminal.
std::string PrintableReleaseText(const ReleaseSignature& release);
