// The suggestion of the day: a recipe not yet applied with a one-line reason, or the keep-awake
// tip.
#pragma once

#include <optional>
#include <string>

namespace velmora {

struct Suggestion {
    std::optional<std::string> recipeID;  // none for the keep-awake tip
    bool isPower = false;                 // true only for the keep-awake tip
    std::string reason;

    friend bool operator==(const Suggestion&, const Suggestion&) = default;
};

}  // namespace velmora
