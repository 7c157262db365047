// The current user's preference domains as property-list files: cached reads, atomic per-key
// writes.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <filesystem>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include <plist/plist.h>

#include "platform/FolderWatch.hpp"

namespace velmora {

// A write or delete that could not be made, or a domain name that cannot be a file name.
class PreferenceStoreError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct PlistFree {
    void operator()(plist_t node) const { plist_free(node); }
};
// An owned property-list node; empty means "no value".
using PlistNode = std::unique_ptr<void, PlistFree>;

// One `<domain>.plist` per domain in `<homeRoot>/Library/Preferences`. Files are read in XML or
// binary form and written in binary form. Writes lock the domain, re-read it and change only their
// own key, so a key written meanwhile by another process survives; every write or delete has
// replaced the file when it returns, or it throws. A domain file that is a symbolic link is written
// through: the file it ends at is replaced, in its own folder, and the link stays. Only regular
// files are read or written. Safe to share between threads.
class PreferenceStore {
  public:
    static constexpr const char* homeRootVariable = "VELMORA_HOME_ROOT";

    // A one-shot process passes `FolderWatching::off`: its few reads stat the file instead.
    explicit PreferenceStore(const std::filesystem::path& homeRoot,
                             FolderWatching watching = FolderWatching::follow);
    PreferenceStore(const PreferenceStore&) = delete;
    PreferenceStore& operator=(const PreferenceStore&) = delete;

    // `VELMORA_HOME_ROOT` when set, else `$XDG_DATA_HOME/velmora/home` (`~/.local/share/...`).
    static std::filesystem::path defaultHomeRoot();
    // The store of the default home root, made on first use and kept for the whole process.
    static std::shared_ptr<PreferenceStore> shared();
    // The domain every application reads too; its file is `.GlobalPreferences.plist`.
    static const std::string& globalDomain();

    const std::filesystem::path& folder() const { return folder_; }
    // Throws `PreferenceStoreError` for a name that is not a plain file name.
    std::filesystem::path fileOf(const std::string& domain) const;

    // A copy of the stored node, or an empty node when the key holds nothing. A file that cannot be
    // read or parsed (not a regular file, too large when expanded, not well-formed) reads as an
    // empty domain, said once on standard error.
    PlistNode copyValue(const std::string& domain, const std::string& key);
    // A copy of the whole domain as a dictionary; an empty one when it holds nothing.
    PlistNode copyDomain(const std::string& domain);
    // Calls `visit` with the stored node (nullptr when there is none) without copying it; the node
    // is only valid during the call.
    template <class Visit>
    decltype(auto) inspect(const std::string& domain, const std::string& key, Visit&& visit) {
        std::lock_guard guard(mutex_);
        return visit(lookup(domain, key));
    }
    // Takes ownership of `value`; throws `PreferenceStoreError` when the file could not be
    // replaced. Once it is replaced the write is done: a failed flush of its folder is only said
    // on standard error.
    void setValue(const std::string& domain, const std::string& key, PlistNode value);
    // Removing an absent key succeeds without touching the file.
    void removeValue(const std::string& domain, const std::string& key);

  private:
    struct FileStamp {
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified{};
        timespec changed{};
        bool operator==(const FileStamp& other) const;
    };
    struct Domain {
        std::string fileName;
        std::string path;
        PlistNode dict;
        FileStamp stamp;
        bool mayHaveChanged = true;  // no watch vouches for the stamp since it was last checked
        // A symbolic link or one of several hard links: a change made through another name
        // escapes the folder's watch, so every read checks the stamp.
        bool linked = false;
    };

    Domain& domain(const std::string& name);
    const Domain& fresh(const std::string& name);
    plist_t lookup(const std::string& domain, const std::string& key);
    void noteChanges();
    void change(const std::string& name, const std::string& key, PlistNode value);
    static FileStamp stampOf(const std::string& path);
    static FileStamp stampOf(const struct stat& info);

    std::filesystem::path folder_;
    // Spares a cached read its stat while nothing in the folder changed.
    FolderWatch watch_;
    std::vector<std::string> changedFiles_;
    std::mutex mutex_;
    std::unordered_map<std::string, Domain> domains_;
};

}  // namespace velmora
