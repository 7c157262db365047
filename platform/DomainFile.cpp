// Domain files on disk: non-blocking reads, bounded parsing, atomic replacement through links,
// unreadable bytes kept aside.
#include "platform/DomainFile.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/FileFaults.hpp"
#include "platform/PlistLimits.hpp"

namespace velmora::domainfile {
namespace fs = std::filesystem;

namespace {

constexpr const char* tempMarker = ".tmp-";
// The characters mkostemp replaces to make the name unique.
constexpr std::string_view tempUnique = "XXXXXX";
constexpr const char* corruptSuffix = ".corrupt-";
constexpr mode_t lockFileMode = 0600;
constexpr mode_t keptFileMode = 0600;
constexpr mode_t permissionBits = 07777;
constexpr std::size_t readChunk = 64 * 1024;

std::string errorText(int error) {
    return std::generic_category().message(error);
}

// Closing can report a deferred write error, so callers that persist data check it.
int closeChecked(UniqueFd& fd) {
    return ::close(fd.release());
}

// A file this write created, removed again unless it was kept (renamed into place, or complete), so
// that a failure leaves nothing half-written behind.
class NewFile {
  public:
    NewFile(std::string path, UniqueFd fd) : path_(std::move(path)), fd_(std::move(fd)) {}
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;
    ~NewFile() {
        fd_.reset();
        if (!kept_) {
            ::unlink(path_.c_str());
        }
    }
    int fd() const { return fd_.get(); }
    UniqueFd& descriptor() { return fd_; }
    const std::string& path() const { return path_; }
    void keep() { kept_ = true; }

  private:
    std::string path_;
    UniqueFd fd_;
    bool kept_ = false;
};

// A uniquely named temporary sibling of `target`, in its folder so that a rename can replace it.
std::unique_ptr<NewFile> temporarySibling(const std::string& target) {
    std::string name = target + tempMarker + std::string(tempUnique);
    UniqueFd fd(::mkostemp(name.data(), O_CLOEXEC));
    if (!fd) {
        fail("cannot create a temporary file for", target, errno);
    }
    return std::make_unique<NewFile>(std::move(name), std::move(fd));
}

void writeAll(int fd, const std::string& bytes, const std::string& path) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = FileFaults::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail("cannot write preferences to", path, errno);
        }
        done += static_cast<std::size_t>(n);
    }
}

void syncDescriptor(int fd, const std::string& path) {
    if (FileFaults::fsync(fd) != 0) {
        fail("cannot flush preferences to disk at", path, errno);
    }
}

// The rename that precedes this has already replaced the file, so a failure here changes nothing
// that happened: it only leaves open whether the change survives a crash.
void syncFolderOf(const std::string& file) {
    const std::string folder = fs::path(file).parent_path().string();
    UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd || FileFaults::fsync(fd.get()) != 0) {
        const int error = errno;
        say("preferences file \"" + file + "\" was replaced, but its folder could not be " +
            "flushed to disk (" + errorText(error) + "); the change may not survive a crash");
    }
}

Contents failedRead(std::string problem) {
    Contents result;
    result.outcome = Contents::Outcome::failed;
    result.problem = std::move(problem);
    return result;
}

// Why a path that cannot be opened or stat'ed fails, symbolic links told apart: a link to nothing
// is an error to report, not a missing domain.
Contents openFailure(const std::string& path, int error) {
    struct stat link {};
    if (error == ENOENT && ::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        return failedRead("it is a symbolic link to a missing file");
    }
    if (error == ENOENT) {
        Contents result;
        result.outcome = Contents::Outcome::missing;
        return result;
    }
    if (error == ELOOP) {
        return failedRead("its symbolic links form a loop");
    }
    return failedRead(errorText(error));
}

}  // namespace

std::string inQuotes(const std::string& text) {
    return "\"" + text + "\"";
}

[[noreturn]] void fail(const std::string& what, const std::string& path, int error) {
    throw PreferenceStoreError(what + " " + inQuotes(path) + ": " + errorText(error));
}

void say(const std::string& message) {
    std::fprintf(stderr, "velmora: %s\n", message.c_str());
}

Lock::Lock(const std::string& path)
    : fd_(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, lockFileMode)) {
    if (!fd_) {
        fail("cannot lock preferences", path, errno);
    }
    while (::flock(fd_.get(), LOCK_EX) != 0) {
        if (errno != EINTR) {
            fail("cannot lock preferences", path, errno);
        }
    }
}

// Reads a domain file without ever blocking: anything but a regular file (a FIFO would wait for a
// writer forever, a device may act on being opened) is refused before it is opened, and again
// after, in case it was swapped in between.
Contents read(const std::string& path) {
    struct stat before {};
    if (::stat(path.c_str(), &before) != 0) {
        return openFailure(path, errno);
    }
    if (!S_ISREG(before.st_mode)) {
        return failedRead("it is not a regular file");
    }
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    Contents result;
    if (!fd || ::fstat(fd.get(), &result.info) != 0) {
        return openFailure(path, errno);
    }
    if (!S_ISREG(result.info.st_mode)) {
        return failedRead("it is not a regular file");
    }
    std::vector<char> chunk(readChunk);
    for (;;) {
        const ssize_t n = ::read(fd.get(), chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return failedRead(errorText(errno));
        }
        if (n == 0) {
            return result;
        }
        result.bytes.append(chunk.data(), static_cast<std::size_t>(n));
    }
}

Decoded<PlistNode> parse(const std::string& bytes) {
    if (bytes.size() > UINT32_MAX) {
        return Decoded<PlistNode>::failure("too large for a property list");
    }
    // Refused before parsing: the parser itself is what a hostile file attacks.
    if (const std::optional<std::string> refusal = PlistLimits::refusal(bytes)) {
        return Decoded<PlistNode>::failure(*refusal);
    }
    plist_t root = nullptr;
    plist_from_memory(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &root);
    PlistNode node(root);
    if (!node) {
        return Decoded<PlistNode>::failure("not a property list");
    }
    if (plist_get_node_type(node.get()) != PLIST_DICT) {
        return Decoded<PlistNode>::failure("its root is not a dictionary");
    }
    return Decoded<PlistNode>::success(std::move(node));
}

std::string encode(plist_t dict, const std::string& path) {
    char* data = nullptr;
    std::uint32_t length = 0;
    plist_to_bin(dict, &data, &length);
    if (data == nullptr) {
        throw PreferenceStoreError("cannot encode preferences for " + inQuotes(path));
    }
    std::string bytes(data, length);
    plist_to_bin_free(data);
    return bytes;
}

// Keeps bytes we could not parse beside the domain file, in the first free `.corrupt-N`, before a
// write replaces them. Never overwrites an earlier one. The copy is written and flushed under a
// temporary name and only then linked to its own, so that no `.corrupt-N` is ever partial, not
// even when the writer is killed; if it cannot be kept completely, the caller writes nothing.
std::string keepAside(const std::string& path, const std::string& bytes) {
    const std::unique_ptr<NewFile> copy = temporarySibling(path);
    if (::fchmod(copy->fd(), keptFileMode) != 0) {
        fail("cannot set the permissions of", copy->path(), errno);
    }
    writeAll(copy->fd(), bytes, copy->path());
    syncDescriptor(copy->fd(), copy->path());
    if (closeChecked(copy->descriptor()) != 0) {
        fail("cannot write preferences to", copy->path(), errno);
    }
    for (unsigned n = 1;; ++n) {
        const std::string kept = path + corruptSuffix + std::to_string(n);
        if (::link(copy->path().c_str(), kept.c_str()) == 0) {
            return kept;  // the temporary name goes with `copy`
        }
        if (errno != EEXIST) {
            fail("cannot keep the unreadable preferences file aside as", kept, errno);
        }
    }
}

// The file a write replaces: the domain file, or the file its symbolic links end at, so that a
// link (as dotfile managers make them) stays a link and its target gets the change.
std::string writeTarget(const std::string& path) {
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) {
        return path;
    }
    std::error_code error;
    const fs::path target = fs::canonical(path, error);
    if (error == std::errc::no_such_file_or_directory) {
        throw PreferenceStoreError("cannot write preferences file " + inQuotes(path) +
                                   ": it is a symbolic link to a missing file");
    }
    if (error == std::errc::too_many_symbolic_link_levels) {
        throw PreferenceStoreError("cannot write preferences file " + inQuotes(path) +
                                   ": its symbolic links form a loop");
    }
    if (error) {
        fail("cannot follow the symbolic link", path, error.value());
    }
    return target.string();
}

// Temporary files of `target` left by a writer that died before its rename. Only a writer holding
// the domain's lock makes them, so under that lock every one found is stale.
void removeStaleTemporaries(const std::string& target) {
    const fs::path file(target);
    const std::string prefix = file.filename().string() + tempMarker;
    std::error_code error;
    for (fs::directory_iterator entry(file.parent_path(), error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (name.size() == prefix.size() + tempUnique.size() && name.starts_with(prefix)) {
            ::unlink(entry->path().c_str());
        }
    }
}

void replace(const std::string& target, const std::string& bytes, const struct stat* existing,
             const std::function<void()>& beforeRename) {
    const std::unique_ptr<NewFile> temp = temporarySibling(target);
    // Readers other than us may rely on the file's owner and permissions (root writing a user's
    // domain must not take it over); a new file is private to the user.
    if (existing != nullptr && ::fchown(temp->fd(), existing->st_uid, existing->st_gid) != 0) {
        fail("cannot keep the owner and group of", target, errno);
    }
    if (existing != nullptr && ::fchmod(temp->fd(), existing->st_mode & permissionBits) != 0) {
        fail("cannot set the permissions of", temp->path(), errno);
    }
    writeAll(temp->fd(), bytes, temp->path());
    syncDescriptor(temp->fd(), temp->path());
    if (closeChecked(temp->descriptor()) != 0) {
        fail("cannot write preferences to", temp->path(), errno);
    }
    if (beforeRename) {
        beforeRename();
    }
    if (FileFaults::rename(temp->path().c_str(), target.c_str()) != 0) {
        fail("cannot replace preferences file", target, errno);
    }
    temp->keep();
    syncFolderOf(target);
}

bool isLinked(const std::string& path, const struct stat* info) {
    struct stat own {};
    if (::lstat(path.c_str(), &own) != 0) {
        return false;
    }
    if (S_ISLNK(own.st_mode)) {
        return true;
    }
    return (info != nullptr ? info->st_nlink : own.st_nlink) > 1;
}

}  // namespace velmora::domainfile
