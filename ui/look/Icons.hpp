// Which symbol each recipe and power-up shows, with a fallback per category.
#pragma once

#include <string>
#include <unordered_map>

#include "kit/Tweak.hpp"

namespace velmora {

class Icons {
  public:
    // Recipe id to symbol name.
    static const std::unordered_map<std::string, std::string>& recipeMap();
    // Tweak, power-setting and slider id to symbol name.
    static const std::unordered_map<std::string, std::string>& tweakMap();

    // The recipe's symbol, or "wand.and.stars" for an id not in the table (matched exactly).
    static const std::string& recipe(const std::string& id);
    // The id's symbol, or the category's fallback symbol for an id not in the table.
    static const std::string& tweak(const std::string& id, TweakCategory category);
    // The symbol a category falls back to.
    static const std::string& categoryFallback(TweakCategory category);
};

}  // namespace velmora
