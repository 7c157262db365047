// A numeric preference whose value the user picks from a range, with the text shown beside it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "kit/DefaultsKey.hpp"
#include "kit/Tweak.hpp"

namespace velmora {

struct SliderTweak {
    std::string id;
    std::string title;
    std::string summary;
    TweakCategory category;
    TweakTier tier;
    DefaultsKey key;
    double min;
    double max;
    double step;
    double defaultValue;  // assumed while the key holds no number
    bool isInt;           // written as an integer value and shown without decimals
    std::string unit;     // appended to the value text without a space; may be empty
    std::optional<std::string> restartService;
    // Written before the slider's own value, and only when both are present.
    std::optional<DefaultsKey> companionKey;
    std::optional<TweakValue> companionValue;
    std::vector<UserField> fields;
    std::vector<UserGoal> goals;

    // The value text: whole numbers rounded half away from zero, others with at most two
    // significant digits, always with "." whatever the user's locale.
    std::string display(double value) const;
};

}  // namespace velmora
