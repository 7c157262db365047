// One preference key, and how a key takes part in a tweak.
#pragma once

#include <optional>
#include <string>

#include "kit/TweakValue.hpp"

namespace velmora {

struct DefaultsKey {
    std::string domain;  // "NSGlobalDomain" or ".GlobalPreferences" name the global domain
    std::string key;

    friend bool operator==(const DefaultsKey&, const DefaultsKey&) = default;
};

struct DefaultsToggle {
    DefaultsKey key;
    TweakValue enabledValue;
    std::optional<TweakValue> disabledValue;    // none: switching off deletes the key
    std::optional<std::string> restartService;  // process to restart after the key changes

    friend bool operator==(const DefaultsToggle&, const DefaultsToggle&) = default;
};

}  // namespace velmora
