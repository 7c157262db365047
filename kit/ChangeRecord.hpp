// The undo unit of one applied tweak: what each key held before and what was written.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "kit/DefaultsKey.hpp"
#include "kit/Uuid.hpp"

namespace velmora {

struct KeyChange {
    DefaultsKey key;
    std::optional<TweakValue> previousValue;  // none: the key held no value
    std::optional<TweakValue> newValue;       // none: the change deleted the key

    friend bool operator==(const KeyChange&, const KeyChange&) = default;
};

struct ChangeRecord {
    Uuid id;
    std::string tweakID;
    std::vector<KeyChange> changes;            // one per toggle, in toggle order
    std::vector<std::string> restartServices;  // distinct, in order of first appearance
    std::chrono::system_clock::time_point timestamp;

    friend bool operator==(const ChangeRecord&, const ChangeRecord&) = default;
};

}  // namespace velmora
