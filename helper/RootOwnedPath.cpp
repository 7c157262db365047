// The folder walk goes through descriptors (openat with O_NOFOLLOW), so a link or a folder renamed
// while we walk can never lead the walk elsewhere.
#include "helper/RootOwnedPath.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

namespace velmora {

namespace fs = std::filesystem;

namespace {

constexpr uid_t kRootUid = 0;
constexpr mode_t kNewFolderMode = 0755;
constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

using FolderResult = Decoded<TrustedFolder>;

std::string errnoText(const fs::path& path, int error) {
    return path.string() + ": " + std::strerror(error);
}

// Why `name` in `folder` could not be opened as a folder, in words a person can act on.
std::string openFailure(int folder, const std::string& name, const fs::path& shown, int error) {
    struct stat info {};
    if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISLNK(info.st_mode)) {
            return shown.string() + " is a symbolic link";
        }
        if (!S_ISDIR(info.st_mode)) {
            return shown.string() + " is not a folder";
        }
    }
    return errnoText(shown, error);
}

// Opens one component below `folder`, making it first when it is missing and that is allowed,
// and checks what was opened.
FolderResult openStep(int folder, const std::string& name, const fs::path& shown,
                      MissingFolders missing) {
    UniqueFd fd(::openat(folder, name.c_str(), kFolderFlags));
    if (!fd && errno == ENOENT && missing == MissingFolders::create) {
        if (::mkdirat(folder, name.c_str(), kNewFolderMode) != 0 && errno != EEXIST) {
            return FolderResult::failure("cannot make " + errnoText(shown, errno));
        }
        fd.reset(::openat(folder, name.c_str(), kFolderFlags));
    }
    if (!fd) {
        return FolderResult::failure(openFailure(folder, name, shown, errno));
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        return FolderResult::failure(errnoText(shown, errno));
    }
    if (auto why = RootOwnedPath::untrusted(info, shown)) {
        return FolderResult::failure(*why);
    }
    return FolderResult::success({std::move(fd), shown});
}

FolderResult walk(TrustedFolder start, const fs::path& relative, MissingFolders missing) {
    for (const fs::path& part : relative) {
        const std::string name = part.string();
        if (name.empty() || name == ".") {
            continue;
        }
        if (name == "..") {
            return FolderResult::failure(start.path.string() +
                                         ": a path may not climb with \"..\"");
        }
        auto next = openStep(start.fd.get(), name, start.path / part, missing);
        if (!next) {
            return next;
        }
        start = std::move(next.value());
    }
    return FolderResult::success(std::move(start));
}

}  // namespace

std::optional<std::string> RootOwnedPath::untrusted(const struct stat& info,
                                                    const fs::path& shown) {
    if (info.st_uid != kRootUid) {
        return shown.string() + " is owned by user " + std::to_string(info.st_uid) +
               ", not by root";
    }
    const bool othersMayWrite = (info.st_mode & (S_IWGRP | S_IWOTH)) != 0;
    const bool sticky = S_ISDIR(info.st_mode) && (info.st_mode & S_ISVTX) != 0;
    if (othersMayWrite && !sticky) {
        return shown.string() + " may be changed by users other than root";
    }
    return std::nullopt;
}

Decoded<TrustedFolder> RootOwnedPath::openFolder(const fs::path& absolute, MissingFolders missing) {
    if (!absolute.is_absolute()) {
        return FolderResult::failure(absolute.string() + " is not an absolute path");
    }
    auto root = openStep(AT_FDCWD, "/", "/", MissingFolders::refuse);
    if (!root) {
        return root;
    }
    return walk(std::move(root.value()), absolute.relative_path(), missing);
}

Decoded<TrustedFolder> RootOwnedPath::openFolder(const TrustedFolder& base,
                                                 const fs::path& relative, MissingFolders missing) {
    if (relative.is_absolute()) {
        return FolderResult::failure(relative.string() + " is not below " + base.path.string());
    }
    UniqueFd start(::fcntl(base.fd.get(), F_DUPFD_CLOEXEC, 0));
    if (!start) {
        return FolderResult::failure(errnoText(base.path, errno));
    }
    return walk({std::move(start), base.path}, relative, missing);
}

Decoded<fs::path> RootOwnedPath::program(const fs::path& path) {
    using Result = Decoded<fs::path>;
    std::error_code error;
    const fs::path real = fs::canonical(path, error);
    if (error) {
        return Result::failure(path.string() + ": " + error.message());
    }
    const auto folder = openFolder(real.parent_path(), MissingFolders::refuse);
    if (!folder) {
        return Result::failure(folder.error());
    }
    struct stat info {};
    if (::fstatat(folder.value().fd.get(), real.filename().c_str(), &info, AT_SYMLINK_NOFOLLOW) !=
        0) {
        return Result::failure(errnoText(real, errno));
    }
    if (!S_ISREG(info.st_mode)) {
        return Result::failure(real.string() + " is not a regular file");
    }
    if (auto why = untrusted(info, real)) {
        return Result::failure(*why);
    }
    return Result::success(real);
}

}  // namespace velmora
