// SPDX-License-Identifier: MIT
// The cryptography from libgcrypt (Debian's build for mingw-w64, shipped as libgcrypt-20.dll and
// libgpg-error-0.dll beside the programs).
#include <gcrypt.h>

#include <cassert>
#include <cctype>
#include <cstring>
#include <stdexcept>
#include <string>

#include "base/ScopedGeneric.h"
#include "release/Crypto.h"

namespace {
struct SexpTraits {
    using Value = gcry_sexp_t;
    static Value None() { return nullptr; }
    static bool IsValid(Value value) { return value != nullptr; }
    static void Free(Value value) { gcry_sexp_release(value); }
};
using ScopedSexp = ScopedGeneric<SexpTraits>;

struct Base64StateTraits {
    using Value = gpgrt_b64state_t;
    static Value None() { return nullptr; }
    static bool IsValid(Value value) { return value != nullptr; }
    // Ends the state; whether the text ended cleanly is asked by finishing it first.
    static void Free(Value value) { gpgrt_b64dec_finish(value); }
};

// libgpg-error's decoder passes over characters that are not Base64 (it reads mail); a key or
// signature is the alphabet alone, in groups of four, "=" only as the last one or two.
bool Base64Form(std::string_view text) {
    if (text.size() % 4 != 0) return false;
    size_t padding = 0;
    while (padding < text.size() && text[text.size() - 1 - padding] == '=')
        ++padding;
    if (padding > 2) return false;
    for (const char c : text.substr(0, text.size() - padding))
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '/') return false;
    return true;
}

// The version check starts the library; it must come before any other call, once.
void StartLibrary() {
    static const bool started = [] {
        if (!gcry_check_version(GCRYPT_VERSION)) return false;
        gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
        gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
        return true;
    }();
    if (!started) throw std::runtime_error("libgcrypt could not be initialised");
}

template <typename Digest>
Digest Hash(int algorithm, std::string_view bytes) {
    StartLibrary();
    Digest digest{};
    if (gcry_md_get_algo_dlen(algorithm) != digest.size())
        throw std::runtime_error("libgcrypt lacks a hash algorithm");
    gcry_md_hash_buffer(algorithm, digest.data(), bytes.data(), bytes.size());
    return digest;
}

ScopedSexp Build(const char* format, auto... values) {
    gcry_sexp_t built = nullptr;
    const gcry_error_t error = gcry_sexp_build(&built, nullptr, format, values...);
    ScopedSexp owned(built);
    if (error) throw std::runtime_error(std::string("libgcrypt: ") + gcry_strerror(error));
    return owned;
}
}  // namespace

size_t Ed25519MessageLimit() {
    // An S-expression's datum is shorter than 64 KiB: libgcrypt 1.10 aborts the process on a
    // message of 65531 bytes or more. Kept below that with room to spare.
    return 65000;
}

Sha256Digest Sha256Of(std::string_view bytes) {
    return Hash<Sha256Digest>(GCRY_MD_SHA256, bytes);
}

Blake2b512Digest Blake2b512Of(std::string_view bytes) {
    return Hash<Blake2b512Digest>(GCRY_MD_BLAKE2B_512, bytes);
}

bool VerifyEd25519(const Ed25519Signature& signature, std::string_view message,
                   const Ed25519PublicKey& key) {
    StartLibrary();
    assert(message.size() <= Ed25519MessageLimit());
    if (message.size() > Ed25519MessageLimit()) return false;
    const int keySize = static_cast<int>(key.size());
    const int half = static_cast<int>(signature.size() / 2);
    const ScopedSexp publicKey =
        Build("(public-key (ecc (curve Ed25519) (flags eddsa) (q %b)))", keySize, key.data());
    const ScopedSexp data = Build("(data (flags eddsa) (hash-algo sha512) (value %b))",
                                  static_cast<int>(message.size()), message.data());
    const ScopedSexp signed_ = Build("(sig-val (eddsa (r %b) (s %b)))", half, signature.data(),
                                     half, signature.data() + half);
    return gcry_pk_verify(signed_.Get(), data.Get(), publicKey.Get()) == 0;
}

std::optional<std::string> DecodeBase64(std::string_view text) {
    if (!Base64Form(text)) return std::nullopt;
    ScopedGeneric<Base64StateTraits> state(gpgrt_b64dec_start(nullptr));
    if (!state.Valid()) throw std::runtime_error("libgpg-error could not decode Base64");
    std::string bytes(text);
    size_t length = 0;
    if (gpgrt_b64dec_proc(state.Get(), bytes.data(), bytes.size(), &length) != 0)
        return std::nullopt;
    if (gpgrt_b64dec_finish(state.Release()) != 0) return std::nullopt;
    bytes.resize(length);
    return bytes;
}
