// The file operations behind the preference store: reading a domain file without ever blocking,
// replacing it atomically (through symbolic links, keeping its owner and mode), and keeping bytes
// that could not be parsed aside.
#pragma once

#include <sys/stat.h>

#include <functional>
#include <string>

#include "kit/Decoded.hpp"
#include "platform/PreferenceStore.hpp"
#include "platform/UniqueFd.hpp"

namespace velmora::domainfile {

std::string inQuotes(const std::string& text);
// Throws PreferenceStoreError: "<what> "<path>": <the error's text>".
[[noreturn]] void fail(const std::string& what, const std::string& path, int error);
// One line on standard error.
void say(const std::string& message);

// Exclusive lock of one domain across processes, held until the end of the scope.
class Lock {
  public:
    explicit Lock(const std::string& path);

  private:
    UniqueFd fd_;  // closing it releases the lock
};

// What a domain file held when it was opened: its bytes and the stat of that very file.
struct Contents {
    enum class Outcome { read, missing, failed };
    Outcome outcome = Outcome::read;
    std::string problem;  // when failed: why, as a message's tail
    struct stat info {};
    std::string bytes;
};

// Anything but a regular file (a FIFO would wait for a writer forever, a device may act on being
// opened) fails without being opened; a symbolic link to nothing or in a loop fails too.
Contents read(const std::string& path);
// The dictionary at the root of a domain file, refused before parsing when PlistLimits says so.
Decoded<PlistNode> parse(const std::string& bytes);
std::string encode(plist_t dict, const std::string& path);

// The file a write replaces: `path`, or the file its symbolic links end at, so that a link (as
// dotfile managers make them) stays a link and its target gets the change. Throws for a link to a
// missing file or a loop.
std::string writeTarget(const std::string& path);
// Temporary files of `target` left by a writer that died before its rename. Only a writer holding
// the domain's lock makes them, so under that lock every one found is stale.
void removeStaleTemporaries(const std::string& target);
// Copies bytes that could not be parsed to the first free `<path>.corrupt-N`, never overwriting an
// earlier one, and gives its path. Throws when they cannot be kept completely, leaving no partial
// copy.
std::string keepAside(const std::string& path, const std::string& bytes);
// Writes `bytes` to a temporary sibling, flushes it and renames it over `target`, with the owner,
// group and mode of `existing` (the file it replaces, if any). Throws when the rename did not
// happen; after it, a failed flush of the folder is only said on standard error. `beforeRename`
// runs once the new version is safely written, so that what it does is not done for a write
// that fails before then; when it throws, nothing is renamed.
void replace(const std::string& target, const std::string& bytes, const struct stat* existing,
             const std::function<void()>& beforeRename = {});
// A symbolic link or one of several hard links: a change made through another name escapes a
// watch of this folder. `info`: the stat of the file already opened at `path`, if any.
bool isLinked(const std::string& path, const struct stat* info);

}  // namespace velmora::domainfile
