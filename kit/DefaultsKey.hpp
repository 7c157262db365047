// One preference key, and how a key takes part in a tweak.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "kit/TweakValue.hpp"

namespace velmora {

struct DefaultsKey {
    std::string domain;  // "NSGlobalDomain" or ".GlobalPreferences" name the global domain
    std::string key;

    friend bool operator==(const DefaultsKey&, const DefaultsKey&) = default;
};

// The global domain goes by two names, and both reach the same stored values.
inline bool isGlobalDomain(std::string_view domain) {
    return domain == "NSGlobalDomain" || domain == ".GlobalPreferences";
}

struct DefaultsToggle {
    DefaultsKey key;
    TweakValue enabledValue;
    std::optional<TweakValue> disabledValue;    // none: switching off deletes the key
    std::optional<std::string> restartService;  // process to restart after the key changes

    friend bool operator==(const DefaultsToggle&, const DefaultsToggle&) = default;
};

}  // namespace velmora
