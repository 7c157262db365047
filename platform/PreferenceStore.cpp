// The preference store: stat-checked cached reads and locked, re-read, temp-file-and-rename writes.
#include "platform/PreferenceStore.hpp"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "kit/Decoded.hpp"
#include "platform/FileFaults.hpp"
#include "platform/UniqueFd.hpp"

namespace velmora {
namespace fs = std::filesystem;

namespace {

constexpr const char* globalDomainName = ".GlobalPreferences";
constexpr const char* fileExtension = ".plist";
constexpr const char* lockSuffix = ".lock";
constexpr const char* tempSuffix = ".tmp-XXXXXX";
constexpr const char* corruptSuffix = ".corrupt-";
// Room the sibling files need after `<domain>.plist`: ".corrupt-" with a ten-digit number.
constexpr std::size_t siblingSuffixRoom = 20;
constexpr mode_t lockFileMode = 0600;
constexpr mode_t keptFileMode = 0600;
constexpr mode_t permissionBits = 07777;
constexpr std::size_t readChunk = 64 * 1024;

std::string errorText(int error) {
    return std::generic_category().message(error);
}

std::string inQuotes(const std::string& text) {
    return "\"" + text + "\"";
}

[[noreturn]] void fail(const std::string& what, const std::string& path, int error) {
    throw PreferenceStoreError(what + " " + inQuotes(path) + ": " + errorText(error));
}

void say(const std::string& message) {
    std::fprintf(stderr, "velmora: %s\n", message.c_str());
}

// Closing can report a deferred write error, so callers that persist data check it.
int closeChecked(UniqueFd& fd) {
    return ::close(fd.release());
}

// Exclusive lock of one domain across processes, held until the end of the scope.
class DomainLock {
  public:
    explicit DomainLock(const std::string& path)
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

  private:
    UniqueFd fd_;  // closing it releases the lock
};

// A temporary sibling of the domain file, removed unless it was renamed into place.
class TempFile {
  public:
    explicit TempFile(const std::string& target) : path_(target + tempSuffix) {
        std::vector<char> name(path_.begin(), path_.end());
        name.push_back('\0');
        fd_ = UniqueFd(::mkostemp(name.data(), O_CLOEXEC));
        if (!fd_) {
            fail("cannot create a temporary file for", target, errno);
        }
        path_.assign(name.data());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() {
        fd_.reset();
        if (!renamed_) {
            ::unlink(path_.c_str());
        }
    }
    int fd() const { return fd_.get(); }
    UniqueFd& descriptor() { return fd_; }
    const std::string& path() const { return path_; }
    void markRenamed() { renamed_ = true; }

  private:
    std::string path_;
    UniqueFd fd_;
    bool renamed_ = false;
};

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

void syncFolder(const std::string& folder) {
    UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd) {
        fail("cannot open the preferences folder", folder, errno);
    }
    syncDescriptor(fd.get(), folder);
}

// What a domain file held when it was opened: its bytes and the stat of that very file.
struct FileRead {
    int error = 0;  // 0, or the errno that stopped the read (ENOENT: no file)
    struct stat info {};
    std::string bytes;
};

FileRead readFile(const std::string& path) {
    FileRead result;
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd || ::fstat(fd.get(), &result.info) != 0) {
        result.error = errno;
        return result;
    }
    std::vector<char> chunk(readChunk);
    for (;;) {
        const ssize_t n = ::read(fd.get(), chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            result.error = errno;
            return result;
        }
        if (n == 0) {
            return result;
        }
        result.bytes.append(chunk.data(), static_cast<std::size_t>(n));
    }
}

Decoded<PlistNode> parseDomain(const std::string& bytes) {
    if (bytes.size() > UINT32_MAX) {
        return Decoded<PlistNode>::failure("too large for a property list");
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

std::string binaryForm(plist_t dict, const std::string& path) {
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
// write replaces them. Never overwrites an earlier one; if they cannot be kept, nothing is written.
void keepUnreadable(const std::string& path, const std::string& bytes) {
    for (unsigned n = 1;; ++n) {
        const std::string kept = path + corruptSuffix + std::to_string(n);
        UniqueFd fd(::open(kept.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, keptFileMode));
        if (!fd && errno == EEXIST) {
            continue;
        }
        if (!fd) {
            fail("cannot keep the unreadable preferences file aside as", kept, errno);
        }
        writeAll(fd.get(), bytes, kept);
        syncDescriptor(fd.get(), kept);
        if (closeChecked(fd) != 0) {
            fail("cannot write preferences to", kept, errno);
        }
        say("preferences file " + inQuotes(path) + " could not be parsed; its bytes are kept in " +
            inQuotes(kept));
        return;
    }
}

void checkDomainName(const std::string& domain) {
    if (domain.empty()) {
        throw PreferenceStoreError("a preference domain name cannot be empty");
    }
    if (domain.find('\0') != std::string::npos) {
        throw PreferenceStoreError("a preference domain name cannot contain a NUL character");
    }
    if (domain == "." || domain == ".." || domain.find('/') != std::string::npos) {
        throw PreferenceStoreError("preference domain " + inQuotes(domain) +
                                   " is not a file name (it is \".\" or \"..\" or contains '/')");
    }
    if (domain.size() + std::char_traits<char>::length(fileExtension) + siblingSuffixRoom >
        NAME_MAX) {
        throw PreferenceStoreError("preference domain " + inQuotes(domain) + " is too long");
    }
}

void checkKey(const std::string& key) {
    if (key.find('\0') != std::string::npos) {
        throw PreferenceStoreError("a preference key cannot contain a NUL character");
    }
}

}  // namespace

bool PreferenceStore::FileStamp::operator==(const FileStamp& other) const {
    if (!exists || !other.exists) {
        return exists == other.exists;
    }
    return device == other.device && inode == other.inode && size == other.size &&
           modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec &&
           changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
}

PreferenceStore::PreferenceStore(const fs::path& homeRoot, FolderWatching watching)
    : folder_(homeRoot / "Library" / "Preferences"), watch_(folder_, watching) {}

fs::path PreferenceStore::defaultHomeRoot() {
    if (const char* root = std::getenv(homeRootVariable); root != nullptr && *root != '\0') {
        return root;
    }
    const fs::path tail = fs::path("velmora") / "home";
    // XDG base directories ignore a relative XDG_DATA_HOME.
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && *data == '/') {
        return fs::path(data) / tail;
    }
    std::string home;
    if (const char* env = std::getenv("HOME"); env != nullptr && *env != '\0') {
        home = env;
    } else if (const passwd* user = ::getpwuid(::getuid()); user != nullptr) {
        home = user->pw_dir;
    }
    return fs::path(home) / ".local" / "share" / tail;
}

std::shared_ptr<PreferenceStore> PreferenceStore::shared() {
    static const std::shared_ptr<PreferenceStore> store =
        std::make_shared<PreferenceStore>(defaultHomeRoot());
    return store;
}

const std::string& PreferenceStore::globalDomain() {
    static const std::string name = globalDomainName;
    return name;
}

fs::path PreferenceStore::fileOf(const std::string& domain) const {
    checkDomainName(domain);
    return folder_ / (domain + fileExtension);
}

PreferenceStore::FileStamp PreferenceStore::stampOf(const struct stat& info) {
    FileStamp stamp;
    stamp.exists = true;
    stamp.device = info.st_dev;
    stamp.inode = info.st_ino;
    stamp.size = info.st_size;
    stamp.modified = info.st_mtim;
    stamp.changed = info.st_ctim;
    return stamp;
}

PreferenceStore::FileStamp PreferenceStore::stampOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return {};
    }
    return stampOf(info);
}

PreferenceStore::Domain& PreferenceStore::domain(const std::string& name) {
    auto found = domains_.find(name);
    if (found == domains_.end()) {
        std::string fileName = name + fileExtension;
        std::string path = (folder_ / fileName).string();
        found =
            domains_.emplace(name, Domain{std::move(fileName), std::move(path), nullptr, {}}).first;
    }
    return found->second;
}

const PreferenceStore::Domain& PreferenceStore::fresh(const std::string& name) {
    checkDomainName(name);
    Domain& d = domain(name);
    noteChanges();
    if (d.dict && !d.mayHaveChanged) {
        return d;
    }
    // The watch, when there is one, was in place before this stat, so it reports anything later.
    d.mayHaveChanged = !watch_.active();
    const FileStamp now = stampOf(d.path);
    if (d.dict && now == d.stamp) {
        return d;
    }
    FileRead file = readFile(d.path);
    d.dict.reset(plist_new_dict());
    if (file.error == ENOENT) {
        d.stamp = {};
        return d;
    }
    if (file.error != 0) {
        // Keep the stamp of what failed, so the message comes once per change of the file.
        d.stamp = now;
        say("cannot read preferences file " + inQuotes(d.path) + " (" + errorText(file.error) +
            "); it reads as empty");
        return d;
    }
    d.stamp = stampOf(file.info);
    if (file.bytes.empty()) {
        return d;
    }
    Decoded<PlistNode> parsed = parseDomain(file.bytes);
    if (parsed) {
        d.dict = std::move(parsed.value());
    } else {
        say("preferences file " + inQuotes(d.path) + " cannot be parsed (" + parsed.error() +
            "); it reads as empty");
    }
    return d;
}

void PreferenceStore::noteChanges() {
    changedFiles_.clear();
    if (!watch_.poll(changedFiles_)) {
        for (auto& [name, d] : domains_) {
            d.mayHaveChanged = true;
        }
        return;
    }
    const std::size_t extensionLength = std::char_traits<char>::length(fileExtension);
    for (const std::string& file : changedFiles_) {
        if (file.size() > extensionLength && file.ends_with(fileExtension)) {
            const auto found = domains_.find(file.substr(0, file.size() - extensionLength));
            if (found != domains_.end()) {
                found->second.mayHaveChanged = true;
            }
        }
    }
}

plist_t PreferenceStore::lookup(const std::string& domainName, const std::string& key) {
    checkKey(key);
    return plist_dict_get_item(fresh(domainName).dict.get(), key.c_str());
}

PlistNode PreferenceStore::copyValue(const std::string& domainName, const std::string& key) {
    return inspect(domainName, key, [](plist_t node) {
        return PlistNode(node != nullptr ? plist_copy(node) : nullptr);
    });
}

void PreferenceStore::setValue(const std::string& domainName, const std::string& key,
                               PlistNode value) {
    if (!value) {
        throw PreferenceStoreError("no value given for preference key " + inQuotes(key));
    }
    change(domainName, key, std::move(value));
}

void PreferenceStore::removeValue(const std::string& domainName, const std::string& key) {
    change(domainName, key, nullptr);
}

// The one path by which a domain file changes: lock, re-read from disk (never from the cache,
// which may predate another process's write), change one key, write a temporary file, flush it,
// rename it over the domain file and flush the folder.
void PreferenceStore::change(const std::string& name, const std::string& key, PlistNode value) {
    checkDomainName(name);
    checkKey(key);
    std::lock_guard guard(mutex_);
    Domain& d = domain(name);
    if (!value && !stampOf(d.path).exists) {
        return;  // nothing stored, nothing to remove
    }
    std::error_code error;
    fs::create_directories(folder_, error);
    if (error) {
        fail("cannot create the preferences folder", folder_.string(), error.value());
    }
    const DomainLock lock(d.path + lockSuffix);

    const FileRead file = readFile(d.path);
    if (file.error != 0 && file.error != ENOENT) {
        fail("cannot read preferences file", d.path, file.error);
    }
    PlistNode dict;
    bool unreadable = false;
    if (!file.bytes.empty()) {
        Decoded<PlistNode> parsed = parseDomain(file.bytes);
        if (parsed) {
            dict = std::move(parsed.value());
        } else {
            unreadable = true;
        }
    }
    if (!dict) {
        dict.reset(plist_new_dict());
    }

    if (!value) {
        if (plist_dict_get_item(dict.get(), key.c_str()) == nullptr) {
            return;
        }
        plist_dict_remove_item(dict.get(), key.c_str());
    } else {
        plist_dict_set_item(dict.get(), key.c_str(), value.release());
    }
    const std::string bytes = binaryForm(dict.get(), d.path);
    if (unreadable) {
        keepUnreadable(d.path, file.bytes);
    }

    TempFile temp(d.path);
    // Readers other than us may rely on the file's permissions; a new file is private to the user.
    if (file.error == 0 && ::fchmod(temp.fd(), file.info.st_mode & permissionBits) != 0) {
        fail("cannot set the permissions of", temp.path(), errno);
    }
    writeAll(temp.fd(), bytes, temp.path());
    syncDescriptor(temp.fd(), temp.path());
    if (closeChecked(temp.descriptor()) != 0) {
        fail("cannot write preferences to", temp.path(), errno);
    }
    if (FileFaults::rename(temp.path().c_str(), d.path.c_str()) != 0) {
        fail("cannot replace preferences file", d.path, errno);
    }
    temp.markRenamed();
    d.dict = std::move(dict);
    d.stamp = stampOf(d.path);
    // The new file is in place and the cache says so; only its durability is still open.
    syncFolder(folder_.string());
}

}  // namespace velmora
