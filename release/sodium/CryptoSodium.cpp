// SPDX-License-Identifier: MIT
// The cryptography from libsodium.
#include <sodium.h>

#include <stdexcept>

#include "release/Crypto.h"

namespace {
const unsigned char* Bytes(std::string_view text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

// sodium_init is safe to call from any thread, any number of times; once is enough.
void StartLibrary() {
    static const bool started = sodium_init() >= 0;
    if (!started) throw std::runtime_error("libsodium could not be initialised");
}
}  // namespace

Sha256Digest Sha256Of(std::string_view bytes) {
    static_assert(crypto_hash_sha256_BYTES == std::tuple_size_v<Sha256Digest>);
    Sha256Digest digest{};
    crypto_hash_sha256(digest.data(), Bytes(bytes), bytes.size());
    return digest;
}

Blake2b512Digest Blake2b512Of(std::string_view bytes) {
    static_assert(crypto_generichash_BYTES_MAX == std::tuple_size_v<Blake2b512Digest>);
    StartLibrary();
    Blake2b512Digest digest{};
    crypto_generichash(digest.data(), digest.size(), Bytes(bytes), bytes.size(), nullptr, 0);
    return digest;
}

size_t Ed25519MessageLimit() {
    return SIZE_MAX;
}

bool VerifyEd25519(const Ed25519Signature& signature, std::string_view message,
                   const Ed25519PublicKey& key) {
    static_assert(crypto_sign_BYTES == std::tuple_size_v<Ed25519Signature>);
    static_assert(crypto_sign_PUBLICKEYBYTES == std::tuple_size_v<Ed25519PublicKey>);
    StartLibrary();
    return crypto_sign_verify_detached(signature.data(), Bytes(message), message.size(),
                                       key.data()) == 0;
}

std::optional<std::string> DecodeBase64(std::string_view text) {
    StartLibrary();
    std::string bytes(text.size() / 4 * 3 + 3, '\0');
    size_t length = 0;
    const char* end = nullptr;
    // The whole text or nothing: the library stops at the first character it does not take.
    if (sodium_base642bin(reinterpret_cast<unsigned char*>(bytes.data()), bytes.size(), text.data(),
                          text.size(), nullptr, &length, &end,
                          sodium_base64_VARIANT_ORIGINAL) != 0 ||
        end != text.data() + text.size())
        return std::nullopt;
    bytes.resize(length);
    return bytes;
}
