// Reads and writes the stand-in pmset's settings file: a property list of setting name to number.
#include "tools/pmset/PowerSettings.hpp"

#include <fcntl.h>
#include <plist/plist.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <limits>
#include <memory>
#include <string_view>
#include <system_error>

#include "platform/FileFaults.hpp"
#include "platform/PlistLimits.hpp"
#include "platform/UniqueFd.hpp"

namespace velmora::pmset {
namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t maxMinutes = 24 * 60;
constexpr std::array<std::uint64_t, 3> hibernateModes = {0, 3, 25};
constexpr std::size_t maxValueDigits = 9;
constexpr mode_t settingsFileMode = 0644;
constexpr mode_t lockFileMode = 0600;
constexpr std::size_t readChunk = 4096;

constexpr std::array<Setting, 14> settings = {{
    {"standby", SettingKind::flag, 1},
    {"powernap", SettingKind::flag, 1},
    {"disksleep", SettingKind::minutes, 10},
    {"sleep", SettingKind::minutes, 1},
    {"hibernatemode", SettingKind::hibernateMode, 3},
    {"ttyskeepawake", SettingKind::flag, 1},
    {"displaysleep", SettingKind::minutes, 10},
    {"tcpkeepalive", SettingKind::flag, 1},
    {"lowpowermode", SettingKind::flag, 0},
    {"womp", SettingKind::flag, 1},
    {"acwake", SettingKind::flag, 0},
    {"proximitywake", SettingKind::flag, 1},
    {"disablesleep", SettingKind::flag, 0},
    {"autorestart", SettingKind::flag, 0},
}};

bool takes(SettingKind kind, std::uint64_t value) {
    switch (kind) {
        case SettingKind::flag:
            return value <= 1;
        case SettingKind::minutes:
            return value <= maxMinutes;
        case SettingKind::hibernateMode:
            for (std::uint64_t mode : hibernateModes) {
                if (mode == value) {
                    return true;
                }
            }
            return false;
    }
    return false;
}

struct PlistFree {
    void operator()(plist_t node) const { plist_free(node); }
};
using Plist = std::unique_ptr<std::remove_pointer_t<plist_t>, PlistFree>;

std::string describe(const fs::path& path, int error) {
    return path.string() + ": " + std::strerror(error);
}

// The file's bytes; none with `missing` set when it does not exist.
Decoded<std::string> readWhole(const fs::path& path, bool& missing) {
    missing = false;
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT) {
            missing = true;
            return Decoded<std::string>::success({});
        }
        return Decoded<std::string>::failure(describe(path, errno));
    }
    std::string bytes;
    std::array<char, readChunk> buffer{};
    for (;;) {
        ssize_t n = ::read(fd.get(), buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return Decoded<std::string>::failure(describe(path, errno));
        }
        if (n == 0) {
            return Decoded<std::string>::success(std::move(bytes));
        }
        bytes.append(buffer.data(), static_cast<std::size_t>(n));
    }
}

// The stored dictionary, a new empty one when there is no file, or why it cannot be used.
Decoded<Plist> readDictionary(const fs::path& path) {
    bool missing = false;
    auto bytes = readWhole(path, missing);
    if (!bytes) {
        return Decoded<Plist>::failure(bytes.error());
    }
    if (missing) {
        return Decoded<Plist>::success(Plist(plist_new_dict()));
    }
    if (bytes.value().size() > std::numeric_limits<std::uint32_t>::max()) {
        return Decoded<Plist>::failure(path.string() + ": too large");
    }
    // The file is root's, but its bytes still reach a parser that trusts them: bound them first.
    if (const auto refusal = PlistLimits::refusal(bytes.value())) {
        return Decoded<Plist>::failure(path.string() + ": " + *refusal);
    }
    plist_t raw = nullptr;
    plist_from_memory(bytes.value().data(), static_cast<std::uint32_t>(bytes.value().size()), &raw);
    Plist root(raw);
    if (!root) {
        return Decoded<Plist>::failure(path.string() + ": not a property list");
    }
    if (plist_get_node_type(root.get()) != PLIST_DICT) {
        return Decoded<Plist>::failure(path.string() + ": not a dictionary of settings");
    }
    return Decoded<Plist>::success(std::move(root));
}

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = FileFaults::write(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// What mkostemp fills in to make a temporary sibling's name unique: `<file>.XXXXXX`.
constexpr std::string_view uniquePart = "XXXXXX";

// Temporary siblings of `path` left by a writer killed before its rename (the helper kills a
// pmset that overruns its time). Only a writer holding the lock makes them, so under the lock
// every one found is stale.
void removeStaleTemporaries(const fs::path& path) {
    const std::string prefix = path.filename().string() + ".";
    std::error_code error;
    for (fs::directory_iterator entry(path.parent_path(), error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (name.size() == prefix.size() + uniquePart.size() && name.starts_with(prefix) &&
            std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                        [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; })) {
            ::unlink(entry->path().c_str());
        }
    }
}

// Writes a sibling temporary file and renames it over `path`, so a reader sees the old file or
// the new one, never half of one.
std::optional<std::string> replaceAtomically(const fs::path& path, const char* data,
                                             std::size_t size) {
    std::string pattern = path.string() + "." + std::string(uniquePart);
    UniqueFd fd(::mkostemp(pattern.data(), O_CLOEXEC));
    if (fd.get() < 0) {
        return describe(pattern, errno);
    }
    bool ok = ::fchmod(fd.get(), settingsFileMode) == 0 && writeAll(fd.get(), data, size) &&
              FileFaults::fsync(fd.get()) == 0;
    int error = errno;
    if (::close(fd.release()) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && FileFaults::rename(pattern.c_str(), path.c_str()) == 0) {
        return std::nullopt;
    }
    if (ok) {
        error = errno;
    }
    ::unlink(pattern.c_str());
    return describe(path, error);
}

}  // namespace

std::span<const Setting> knownSettings() {
    return settings;
}

const Setting* findSetting(std::string_view key) {
    for (const Setting& setting : settings) {
        if (setting.key == key) {
            return &setting;
        }
    }
    return nullptr;
}

std::optional<std::uint64_t> parseValue(const Setting& setting, std::string_view text) {
    if (text.empty() || text.size() > maxValueDigits) {
        return std::nullopt;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
    }
    std::uint64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    if (!takes(setting.kind, value)) {
        return std::nullopt;
    }
    return value;
}

Decoded<Values> PowerSettingsFile::load() const {
    auto dictionary = readDictionary(path_);
    if (!dictionary) {
        return Decoded<Values>::failure(dictionary.error());
    }
    Values values;
    for (const Setting& setting : settings) {
        std::uint64_t value = setting.defaultValue;
        std::string key(setting.key);
        if (plist_t node = plist_dict_get_item(dictionary.value().get(), key.c_str())) {
            if (plist_get_node_type(node) != PLIST_UINT) {
                return Decoded<Values>::failure(path_.string() + ": " + key + " is not a number");
            }
            plist_get_uint_val(node, &value);
            if (!takes(setting.kind, value)) {
                return Decoded<Values>::failure(path_.string() + ": " + key + " holds " +
                                                std::to_string(value) + ", which it cannot take");
            }
        }
        values.emplace(std::move(key), value);
    }
    return Decoded<Values>::success(std::move(values));
}

std::optional<std::string> PowerSettingsFile::store(const Setting& setting,
                                                    std::uint64_t value) const {
    std::error_code error;
    fs::create_directories(path_.parent_path(), error);
    if (error) {
        return path_.parent_path().string() + ": " + error.message();
    }
    // Two writers at once (the helper and an administrator prompt) must not lose a change.
    fs::path lockPath = path_;
    lockPath += ".lock";
    UniqueFd lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, lockFileMode));
    if (lock.get() < 0) {
        return describe(lockPath, errno);
    }
    while (::flock(lock.get(), LOCK_EX) != 0) {
        if (errno != EINTR) {
            return describe(lockPath, errno);
        }
    }
    removeStaleTemporaries(path_);
    auto dictionary = readDictionary(path_);
    if (!dictionary) {
        return dictionary.error();
    }
    std::string key(setting.key);
    plist_dict_set_item(dictionary.value().get(), key.c_str(), plist_new_uint(value));
    char* xml = nullptr;
    std::uint32_t length = 0;
    plist_to_xml(dictionary.value().get(), &xml, &length);
    if (xml == nullptr) {
        return path_.string() + ": the settings could not be encoded";
    }
    std::unique_ptr<char, decltype(&plist_to_xml_free)> owned(xml, &plist_to_xml_free);
    return replaceAtomically(path_, owned.get(), length);
}

}  // namespace velmora::pmset
