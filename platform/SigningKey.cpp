// ed25519 keys and signatures through libsodium.
#include "platform/SigningKey.hpp"

#include "platform/Sodium.hpp"

namespace velmora {

namespace {
constexpr std::size_t kSeedBytes = crypto_sign_SEEDBYTES;
static_assert(std::tuple_size_v<PublicKey> == crypto_sign_PUBLICKEYBYTES);
static_assert(std::tuple_size_v<Ed25519Signature> == crypto_sign_BYTES);
}  // namespace

std::string hexText(const unsigned char* bytes, std::size_t size) {
    std::string text(size * 2 + 1, '\0');
    sodium_bin2hex(text.data(), text.size(), bytes, size);
    text.pop_back();
    return text;
}

bool parseHex(std::string_view text, unsigned char* out, std::size_t size) {
    if (text.size() != size * 2) {
        return false;
    }
    std::size_t written = 0;
    const char* end = nullptr;
    return sodium_hex2bin(out, size, text.data(), text.size(), nullptr, &written, &end) == 0 &&
           written == size && end == text.data() + text.size();
}

SigningKey SigningKey::generate() {
    requireSodium();
    SigningKey key;
    PublicKey unused{};
    crypto_sign_keypair(unused.data(), key.secret_.data());
    return key;
}

Decoded<SigningKey> SigningKey::fromFileText(std::string_view text) {
    requireSodium();
    if (text.empty() || text.back() != '\n') {
        return Decoded<SigningKey>::failure("a signing key file ends in one newline");
    }
    text.remove_suffix(1);
    std::array<unsigned char, kSeedBytes> seed{};
    if (!parseHex(text, seed.data(), seed.size())) {
        return Decoded<SigningKey>::failure("a signing key file holds 64 hex digits");
    }
    SigningKey key;
    PublicKey unused{};
    crypto_sign_seed_keypair(unused.data(), key.secret_.data(), seed.data());
    sodium_memzero(seed.data(), seed.size());
    return Decoded<SigningKey>::success(key);
}

SigningKey::~SigningKey() {
    sodium_memzero(secret_.data(), secret_.size());
}

std::string SigningKey::fileText() const {
    std::array<unsigned char, kSeedBytes> seed{};
    crypto_sign_ed25519_sk_to_seed(seed.data(), secret_.data());
    std::string text = hexText(seed.data(), seed.size()) + "\n";
    sodium_memzero(seed.data(), seed.size());
    return text;
}

PublicKey SigningKey::publicKey() const {
    PublicKey key{};
    crypto_sign_ed25519_sk_to_pk(key.data(), secret_.data());
    return key;
}

Ed25519Signature SigningKey::sign(std::string_view message) const {
    Ed25519Signature signature{};
    crypto_sign_detached(signature.data(), nullptr,
                         reinterpret_cast<const unsigned char*>(message.data()), message.size(),
                         secret_.data());
    return signature;
}

bool verifySignature(const PublicKey& key, std::string_view message,
                     const Ed25519Signature& signature) {
    requireSodium();
    return crypto_sign_verify_detached(signature.data(),
                                       reinterpret_cast<const unsigned char*>(message.data()),
                                       message.size(), key.data()) == 0;
}

}  // namespace velmora
