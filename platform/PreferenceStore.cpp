// The preference store: stat-checked cached reads and locked, re-read, temp-file-and-rename writes.
#include "platform/PreferenceStore.hpp"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <optional>
#include <system_error>
#include <utility>

#include "kit/Decoded.hpp"
#include "platform/DomainFile.hpp"

namespace velmora {
namespace fs = std::filesystem;

using domainfile::inQuotes;

namespace {

constexpr const char* globalDomainName = ".GlobalPreferences";
constexpr const char* fileExtension = ".plist";
constexpr const char* lockSuffix = ".lock";
// Room the sibling files need after `<domain>.plist`: ".corrupt-" with a ten-digit number.
constexpr std::size_t siblingSuffixRoom = 20;

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
    if (d.dict && !d.mayHaveChanged && !d.linked) {
        return d;
    }
    // The watch, when there is one, was in place before this stat, so it reports anything later.
    d.mayHaveChanged = !watch_.active();
    const FileStamp now = stampOf(d.path);
    if (d.dict && now == d.stamp) {
        return d;
    }
    domainfile::Contents file = domainfile::read(d.path);
    d.dict.reset(plist_new_dict());
    d.linked = false;
    if (file.outcome == domainfile::Contents::Outcome::missing) {
        d.stamp = {};
        return d;
    }
    if (file.outcome == domainfile::Contents::Outcome::failed) {
        // Keep the stamp of what failed, so the message comes once per change of the file.
        d.stamp = now;
        d.linked = domainfile::isLinked(d.path, nullptr);
        domainfile::say("cannot read preferences file " + inQuotes(d.path) + " (" + file.problem +
                        "); it reads as empty");
        return d;
    }
    d.stamp = stampOf(file.info);
    d.linked = domainfile::isLinked(d.path, &file.info);
    if (file.bytes.empty()) {
        return d;
    }
    Decoded<PlistNode> parsed = domainfile::parse(file.bytes);
    if (parsed) {
        d.dict = std::move(parsed.value());
    } else {
        domainfile::say("preferences file " + inQuotes(d.path) + " cannot be parsed (" +
                        parsed.error() + "); it reads as empty");
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

PlistNode PreferenceStore::copyDomain(const std::string& domainName) {
    std::lock_guard guard(mutex_);
    return PlistNode(plist_copy(fresh(domainName).dict.get()));
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
// rename it over the domain file (or the file its links end at) and flush the folder.
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
        domainfile::fail("cannot create the preferences folder", folder_.string(), error.value());
    }
    const domainfile::Lock lock(d.path + lockSuffix);

    const std::string target = domainfile::writeTarget(d.path);
    domainfile::removeStaleTemporaries(target);
    const domainfile::Contents file = domainfile::read(target);
    if (file.outcome == domainfile::Contents::Outcome::failed) {
        throw PreferenceStoreError("cannot write preferences file " + inQuotes(d.path) + ": " +
                                   file.problem);
    }
    PlistNode dict;
    bool unreadable = false;
    if (!file.bytes.empty()) {
        Decoded<PlistNode> parsed = domainfile::parse(file.bytes);
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
    const std::string bytes = domainfile::encode(dict.get(), target);
    const bool existed = file.outcome == domainfile::Contents::Outcome::read;
    // Kept aside only once the new version is written, and dropped again when it cannot be put in
    // place: the unreadable bytes then stay where they are, and a write that fails (a full disk)
    // and is tried again must not leave another copy of them each time.
    std::optional<std::string> kept;
    try {
        domainfile::replace(target, bytes, existed ? &file.info : nullptr, [&] {
            if (unreadable) {
                kept = domainfile::keepAside(target, file.bytes);
            }
        });
    } catch (...) {
        if (kept) {
            ::unlink(kept->c_str());
        }
        throw;
    }
    if (kept) {
        domainfile::say("preferences file " + inQuotes(target) +
                        " could not be parsed; its bytes are kept in " + inQuotes(*kept));
    }
    d.dict = std::move(dict);
    d.stamp = stampOf(d.path);
    d.linked = domainfile::isLinked(d.path, nullptr);
}

}  // namespace velmora
