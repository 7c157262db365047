// Paths a root service may trust: the file and every folder on the way owned by root and writable
// by nobody else, so that no other user can swap a program root runs or a folder root writes in.
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>

#include "kit/Decoded.hpp"
#include "platform/UniqueFd.hpp"

namespace velmora {

enum class MissingFolders { refuse, create };

// An open folder that passed the check, with the path it was opened by (for messages only: work
// below it goes through the descriptor).
struct TrustedFolder {
    UniqueFd fd;
    std::filesystem::path path;
};

class RootOwnedPath {
  public:
    RootOwnedPath() = delete;

    // Why a file or folder with this status cannot be trusted, none when it can. Owned by root and
    // writable by nobody else; a folder with the sticky bit passes even when others may write in
    // it (as /tmp), since they can then add entries but never move or remove root's.
    static std::optional<std::string> untrusted(const struct stat& info,
                                                const std::filesystem::path& shown);

    // The folder at `absolute`, reached from "/" one component at a time without following any
    // link, each component checked. Missing folders are made (mode 0755) when asked.
    static Decoded<TrustedFolder> openFolder(const std::filesystem::path& absolute,
                                             MissingFolders missing);
    // The same for `relative` below an open trusted folder.
    static Decoded<TrustedFolder> openFolder(const TrustedFolder& base,
                                             const std::filesystem::path& relative,
                                             MissingFolders missing);

    // The real path of a program root may run: a regular file that, with every folder above it,
    // passes the check.
    static Decoded<std::filesystem::path> program(const std::filesystem::path& path);
};

}  // namespace velmora
