// Writing, parsing and checking signature files, and the digest of an executable.
#include "platform/CodeSignature.hpp"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/Sodium.hpp"

namespace velmora {

namespace {

constexpr std::string_view kMagicLine = "velmora-code-signature 1\n";
constexpr std::string_view kTeamLabel = "team: ";
constexpr std::string_view kDigestLabel = "digest: ";
constexpr std::string_view kSignatureLabel = "signature: ";
constexpr std::size_t kMaxTeamLength = 64;
constexpr std::size_t kMaxSignatureFileBytes = 4096;
constexpr off_t kMaxExecutableBytes = off_t{1} << 30;
constexpr std::size_t kReadChunkBytes = 1 << 16;
static_assert(std::tuple_size_v<CodeDigest> == crypto_generichash_BYTES);

// Takes "label: value\n" off the front of text; false when the line is not of that form.
bool takeLine(std::string_view& text, std::string_view label, std::string_view& value) {
    if (text.substr(0, label.size()) != label) {
        return false;
    }
    const auto end = text.find('\n');
    if (end == std::string_view::npos) {
        return false;
    }
    value = text.substr(label.size(), end - label.size());
    text.remove_prefix(end + 1);
    return true;
}

}  // namespace

const std::string& CodeSignature::fileSuffix() {
    static const std::string suffix = ".sig";
    return suffix;
}

std::size_t CodeSignature::maxFileBytes() {
    return kMaxSignatureFileBytes;
}

bool CodeSignature::isValidTeam(std::string_view team) {
    if (team.empty() || team.size() > kMaxTeamLength) {
        return false;
    }
    for (const char c : team) {
        const bool allowed = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                             (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
        if (!allowed) {
            return false;
        }
    }
    return true;
}

std::string CodeSignature::signedText() const {
    std::string text(kMagicLine);
    text += kTeamLabel;
    text += team;
    text += '\n';
    text += kDigestLabel;
    text += hexText(digest.data(), digest.size());
    text += '\n';
    return text;
}

CodeSignature CodeSignature::make(std::string team, const CodeDigest& digest,
                                  const SigningKey& key) {
    CodeSignature result;
    result.team = std::move(team);
    result.digest = digest;
    result.signature = key.sign(result.signedText());
    return result;
}

std::string CodeSignature::fileText() const {
    return signedText() + std::string(kSignatureLabel) +
           hexText(signature.data(), signature.size()) + "\n";
}

Decoded<CodeSignature> CodeSignature::parse(std::string_view text) {
    using Result = Decoded<CodeSignature>;
    if (text.size() > kMaxSignatureFileBytes) {
        return Result::failure("signature file is too large");
    }
    if (text.substr(0, kMagicLine.size()) != kMagicLine) {
        return Result::failure("not a signature file of this format");
    }
    text.remove_prefix(kMagicLine.size());
    std::string_view team;
    std::string_view digest;
    std::string_view signature;
    if (!takeLine(text, kTeamLabel, team) || !takeLine(text, kDigestLabel, digest) ||
        !takeLine(text, kSignatureLabel, signature) || !text.empty()) {
        return Result::failure("signature file is malformed");
    }
    CodeSignature result;
    if (!isValidTeam(team)) {
        return Result::failure("signature names an invalid team");
    }
    result.team = std::string(team);
    if (!parseHex(digest, result.digest.data(), result.digest.size()) ||
        !parseHex(signature, result.signature.data(), result.signature.size())) {
        return Result::failure("signature file holds malformed hex");
    }
    return Result::success(std::move(result));
}

bool CodeSignature::verifiedBy(const PublicKey& anchor) const {
    return verifySignature(anchor, signedText(), signature);
}

Decoded<CodeDigest> digestOfFile(int fd) {
    using Result = Decoded<CodeDigest>;
    requireSodium();
    crypto_generichash_state state;
    crypto_generichash_init(&state, nullptr, 0, crypto_generichash_BYTES);
    std::vector<unsigned char> buffer(kReadChunkBytes);
    off_t offset = 0;
    for (;;) {
        const ssize_t got = ::pread(fd, buffer.data(), buffer.size(), offset);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Result::failure(std::string("cannot read the executable: ") +
                                   std::strerror(errno));
        }
        if (got == 0) {
            break;
        }
        offset += got;
        if (offset > kMaxExecutableBytes) {
            return Result::failure("the executable is too large");
        }
        crypto_generichash_update(&state, buffer.data(), static_cast<std::size_t>(got));
    }
    CodeDigest digest{};
    crypto_generichash_final(&state, digest.data(), digest.size());
    return Result::success(digest);
}

}  // namespace velmora
