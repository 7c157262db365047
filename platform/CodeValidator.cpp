// Signature verification of a pinned executable, with a cache of files already verified.
#include "platform/CodeValidator.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>

#include "platform/CodeSignature.hpp"

namespace velmora {

namespace {

// Enough for every program on a machine; a flood of distinct files only costs re-verification.
constexpr std::size_t kMaxCachedFiles = 256;
// An open descriptor's own entry in /proc, through which it can be opened again.
constexpr const char* kProcessFds = "/proc/self/fd/";
// How often a file that keeps changing while it is read is checked before the guest is refused.
constexpr int kChecksOfAChangingFile = 3;

using TeamResult = Decoded<std::string>;

// The file's place is chosen by the caller we are checking, and we run as root: opening a device
// or a FIFO can have effects of its own, so the file is only looked at (O_PATH, never through a
// link) until it is known to be a regular file, and only that file is then opened for reading.
Decoded<UniqueFd> openRegularFile(const std::string& path) {
    using Result = Decoded<UniqueFd>;
    const UniqueFd place(::open(path.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    if (!place) {
        return Result::failure("no signature: " + std::string(std::strerror(errno)));
    }
    struct stat info {};
    if (::fstat(place.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return Result::failure("the signature is not a regular file");
    }
    const std::string self = std::string(kProcessFds) + std::to_string(place.get());
    UniqueFd fd(::open(self.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (!fd) {
        return Result::failure("cannot open the signature: " + std::string(std::strerror(errno)));
    }
    return Result::success(std::move(fd));
}

Decoded<std::string> readSignatureFile(const std::string& path) {
    using Result = Decoded<std::string>;
    auto opened = openRegularFile(path);
    if (!opened) {
        return Result::failure(opened.error());
    }
    const UniqueFd fd = std::move(opened.value());
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return Result::failure("the signature is not a regular file");
    }
    if (info.st_size < 0 ||
        static_cast<std::size_t>(info.st_size) > CodeSignature::maxFileBytes()) {
        return Result::failure("signature file is too large");
    }
    std::string text(CodeSignature::maxFileBytes() + 1, '\0');
    std::size_t filled = 0;
    while (filled < text.size()) {
        const ssize_t got = ::read(fd.get(), text.data() + filled, text.size() - filled);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return Result::failure("cannot read the signature");
        }
        if (got == 0) {
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    text.resize(filled);
    return Result::success(std::move(text));
}

}  // namespace

std::optional<TeamResult> CodeValidator::verifiedTeamOnce(const GuestCode& code) {
    struct stat info {};
    if (!code.executable || ::fstat(code.executable.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return TeamResult::failure("the executable is not a regular file");
    }
    const FileIdentity identity{info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
    {
        const std::lock_guard lock(mutex_);
        if (const auto found = verified_.find(identity); found != verified_.end()) {
            return TeamResult::success(found->second);
        }
    }

    const auto text = readSignatureFile(code.executablePath + CodeSignature::fileSuffix());
    if (!text) {
        return TeamResult::failure(text.error());
    }
    const auto signature = CodeSignature::parse(text.value());
    if (!signature) {
        return TeamResult::failure(signature.error());
    }
    if (!signature.value().verifiedBy(anchor_)) {
        return TeamResult::failure("the signature is not made by the trusted key");
    }
    const auto digest = digestOfFile(code.executable.get());
    if (!digest) {
        return TeamResult::failure(digest.error());
    }
    if (digest.value() != signature.value().digest) {
        return TeamResult::failure("the executable does not match its signature");
    }

    // Only a file that did not change while it was being read is trusted and remembered.
    struct stat after {};
    if (::fstat(code.executable.get(), &after) != 0 || after.st_size != info.st_size ||
        after.st_mtim.tv_sec != info.st_mtim.tv_sec ||
        after.st_mtim.tv_nsec != info.st_mtim.tv_nsec ||
        after.st_ctim.tv_sec != info.st_ctim.tv_sec ||
        after.st_ctim.tv_nsec != info.st_ctim.tv_nsec) {
        return std::nullopt;
    }
    const std::lock_guard lock(mutex_);
    if (verified_.size() >= kMaxCachedFiles) {
        verified_.clear();
    }
    verified_.emplace(identity, signature.value().team);
    return TeamResult::success(signature.value().team);
}

TeamResult CodeValidator::verifiedTeam(const GuestCode& code) {
    // The change time moves with every link made to the file or removed from it elsewhere (an
    // install, a package manager, a backup), which leaves its bytes alone: a check that saw the
    // file change is made again, and only a check that saw it still from start to end counts.
    for (int pass = 0; pass < kChecksOfAChangingFile; ++pass) {
        if (auto settled = verifiedTeamOnce(code)) {
            return std::move(*settled);
        }
    }
    return TeamResult::failure("the executable changed while it was being checked");
}

TeamResult CodeValidator::check(const GuestCode& code, const CodeRequirement& requirement) {
    auto team = verifiedTeam(code);
    if (!team) {
        return team;
    }
    if (team.value() != requirement.team()) {
        return TeamResult::failure("signed by team " + team.value() + ", not " +
                                   requirement.team());
    }
    return team;
}

}  // namespace velmora
