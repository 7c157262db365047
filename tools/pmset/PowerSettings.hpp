// The power settings the stand-in pmset knows, their defaults, and the file that keeps them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "kit/Decoded.hpp"

namespace velmora::pmset {

enum class SettingKind {
    flag,          // 0 or 1
    minutes,       // 0 (never) up to a day
    hibernateMode  // the three modes the platform documents
};

struct Setting {
    std::string_view key;
    SettingKind kind;
    std::uint64_t defaultValue;
};

// In the order `pmset -g` lists them; "disablesleep" is listed apart, as "SleepDisabled".
std::span<const Setting> knownSettings();
const Setting* findSetting(std::string_view key);
// The value `text` stands for, or nothing when the setting does not take it.
std::optional<std::uint64_t> parseValue(const Setting& setting, std::string_view text);

using Values = std::map<std::string, std::uint64_t, std::less<>>;

class PowerSettingsFile {
  public:
    explicit PowerSettingsFile(std::filesystem::path path) : path_(std::move(path)) {}

    // Every known setting: the stored value, else its default. A file that exists but cannot be
    // read, or holds a value no setting takes, is an error rather than a silent reset.
    Decoded<Values> load() const;
    // Stores one setting, keeping whatever else the file holds. Returns what went wrong, if
    // anything; a file that cannot be read is left untouched.
    std::optional<std::string> store(const Setting& setting, std::uint64_t value) const;

  private:
    std::filesystem::path path_;
};

}  // namespace velmora::pmset
