// A pmset power setting that is either on or off, each side a fixed value string.
#pragma once

#include <string>
#include <vector>

#include "kit/Tweak.hpp"

namespace velmora {

struct PowerTweak {
    std::string id;
    std::string title;
    std::string summary;
    std::string key;       // the pmset setting name
    std::string onValue;   // the setting is on exactly while pmset reports this string
    std::string offValue;  // written to switch it off
    TweakTier tier;
    std::vector<UserField> fields;
    std::vector<UserGoal> goals;
};

}  // namespace velmora
