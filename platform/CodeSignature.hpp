// The signature file written beside a signed executable: the signing team, the digest of the
// executable's bytes and the maker's ed25519 signature over both.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "kit/Decoded.hpp"
#include "platform/SigningKey.hpp"

namespace velmora {

using CodeDigest = std::array<unsigned char, 32>;

struct CodeSignature {
    std::string team;
    CodeDigest digest{};
    Ed25519Signature signature{};

    // The signature of /path/prog lives in /path/prog.sig.
    static const std::string& fileSuffix();
    static std::size_t maxFileBytes();
    // Letters, digits, '.', '-' and '_', 1 to 64 of them: the file is line-based.
    static bool isValidTeam(std::string_view team);

    static CodeSignature make(std::string team, const CodeDigest& digest, const SigningKey& key);
    static Decoded<CodeSignature> parse(std::string_view fileText);
    std::string fileText() const;
    bool verifiedBy(const PublicKey& anchor) const;

  private:
    std::string signedText() const;
};

// BLAKE2b-256 of a whole open file, read from its start; fails on a read error or a file larger
// than any executable we would sign.
Decoded<CodeDigest> digestOfFile(int fd);

}  // namespace velmora
