// SPDX-License-Identifier: MIT
// The cryptography in the browser: libsodium's own WebAssembly build (libsodium-wrappers, beside
// the page), which the page's script has made ready before the module's first check.
#include <cstring>
#include <stdexcept>

#include "release/Crypto.h"

// In PageLibrary.js; the library's answers go through the module's memory, as the bytes asked
// about do.
extern "C" {
int PageJsSodiumReady();
void PageJsBlake2b512(const char* bytes, int length, uint8_t* digest);
int PageJsVerifyEd25519(const uint8_t* signature, const char* message, int length,
                        const uint8_t* key);
// The decoded length, or -1 when the text is not standard Base64 with padding; the bytes go to
// `out` when they fit in `room`.
int PageJsBase64(const char* text, int length, char* out, int room);
}

namespace {

void StartLibrary() {
    if (!PageJsSodiumReady()) throw std::runtime_error("libsodium could not be initialised");
}

int Length(std::string_view bytes) {
    if (bytes.size() > static_cast<std::size_t>(INT32_MAX))
        throw std::runtime_error("too long for libsodium's browser build");
    return static_cast<int>(bytes.size());
}
}  // namespace

// Nothing on the page takes a file's digest; the library's standard browser build has no SHA-256.
Sha256Digest Sha256Of(std::string_view) {
    throw std::runtime_error("SHA-256 is not in libsodium's browser build");
}

Blake2b512Digest Blake2b512Of(std::string_view bytes) {
    StartLibrary();
    Blake2b512Digest digest{};
    PageJsBlake2b512(bytes.data(), Length(bytes), digest.data());
    return digest;
}

size_t Ed25519MessageLimit() {
    return static_cast<size_t>(INT32_MAX);
}

bool VerifyEd25519(const Ed25519Signature& signature, std::string_view message,
                   const Ed25519PublicKey& key) {
    StartLibrary();
    return PageJsVerifyEd25519(signature.data(), message.data(), Length(message), key.data()) != 0;
}

std::optional<std::string> DecodeBase64(std::string_view text) {
    StartLibrary();
    // Nothing but the text itself goes to the library: a NUL inside would end it early.
    if (std::memchr(text.data(), '\0', text.size()) != nullptr) return std::nullopt;
    std::string bytes(text.size() / 4 * 3 + 3, '\0');
    const int length = PageJsBase64(text.data(), Length(text), bytes.data(), Length(bytes));
    if (length < 0 || static_cast<std::size_t>(length) > bytes.size()) return std::nullopt;
    bytes.resize(static_cast<std::size_t>(length));
    return bytes;
}
