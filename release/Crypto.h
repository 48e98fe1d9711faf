// SPDX-License-Identifier: MIT
#pragma once
// The cryptography of release signatures and of the update file's digest. None of it is written
// here: each platform takes it from a library of its own (release/sodium/ with libsodium on Linux,
// release/gcrypt/ with libgcrypt on Windows).
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

using Sha256Digest = std::array<uint8_t, 32>;
using Blake2b512Digest = std::array<uint8_t, 64>;
using Ed25519PublicKey = std::array<uint8_t, 32>;
using Ed25519Signature = std::array<uint8_t, 64>;

Sha256Digest Sha256Of(std::string_view bytes);
Blake2b512Digest Blake2b512Of(std::string_view bytes);

// The longest message VerifyEd25519 takes: a legacy signature covers the whole file, and not
// every library takes a message of any length.
size_t Ed25519MessageLimit();

// True when `signature` is `key`'s signature of `message`, which is at most Ed25519MessageLimit()
// bytes long. The caller has refused malformed and
// all-zero keys already (ParsePublicKey). Throws std::runtime_error when the library does not
// start.
bool VerifyEd25519(const Ed25519Signature& signature, std::string_view message,
                   const Ed25519PublicKey& key);

// The bytes `text` encodes in Base64 as minisign writes its keys and signatures (the standard
// alphabet with "=" padding); none when it is not that.
std::optional<std::string> DecodeBase64(std::string_view text);
