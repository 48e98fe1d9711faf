// SPDX-License-Identifier: MIT
#pragma once
// Signed releases on the command line: the keys a station trusts (--trusted-key and the
// system's trusted-keys file), the check of an update file's signature before any port opens,
// and the words for both.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "loader/ReleaseSignature.h"

// The keys of `keys` (each a key's text or a file of keys, as --trusted-key takes them) and of
// the system's trusted-keys file. Throws SubjectError naming the key or the file (and its line)
// for a key that is refused, and a system file that exists but cannot be read.
SignaturePolicy StationPolicy(const std::vector<std::string>& keys, bool required);

// The check of `bytes`, the update file `file` as read once. Throws SubjectError about `file`
// when the signature does not hold.
std::optional<ReleaseSignature> CheckRelease(const std::string& file, std::string_view bytes,
                                             const SignaturePolicy& policy);

// "ТЕВР-R7 2.3.1 (key B3CE124693EF8AC8)": the release as the start line and plan show it, made
// safe for a terminal.
std::string PrintableReleaseText(const ReleaseSignature& release);
