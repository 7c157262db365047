// The maker's ed25519 signing key, its public half (the anchor a verifier trusts) and the check.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "kit/Decoded.hpp"

namespace velmora {

using PublicKey = std::array<unsigned char, 32>;
using Ed25519Signature = std::array<unsigned char, 64>;

// Lower-case hex of bytes, and the strict reverse (exact length, hex digits only).
std::string hexText(const unsigned char* bytes, std::size_t size);
bool parseHex(std::string_view text, unsigned char* out, std::size_t size);

class SigningKey {
  public:
    static SigningKey generate();
    // A key file holds the 32-byte seed as 64 lower- or upper-case hex digits and one newline.
    static Decoded<SigningKey> fromFileText(std::string_view text);

    SigningKey(const SigningKey&) = default;
    SigningKey& operator=(const SigningKey&) = default;
    ~SigningKey();

    std::string fileText() const;
    PublicKey publicKey() const;
    Ed25519Signature sign(std::string_view message) const;

  private:
    SigningKey() = default;
    std::array<unsigned char, 64> secret_{};  // libsodium's layout: seed followed by public key
};

bool verifySignature(const PublicKey& key, std::string_view message,
                     const Ed25519Signature& signature);

}  // namespace velmora
