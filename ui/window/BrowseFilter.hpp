// The Browse page's filter as the window keeps it: a kind, and a category for a category's chip.
#pragma once

#include <optional>

#include "kit/Tweak.hpp"

namespace velmora {

// What the Browse page shows: everything, only the power settings, only the display setting, or
// only one category. A category is told from the fixed filters by its kind, not by its title, so
// a category titled "Power" is not the power settings.
class BrowseFilter {
  public:
    enum class Kind { all, power, display, category };

    // Everything.
    BrowseFilter() = default;
    static constexpr BrowseFilter all() { return {}; }
    static constexpr BrowseFilter power() { return BrowseFilter(Kind::power, {}); }
    static constexpr BrowseFilter display() { return BrowseFilter(Kind::display, {}); }
    static constexpr BrowseFilter of(TweakCategory category) {
        return BrowseFilter(Kind::category, category);
    }

    constexpr Kind kind() const { return kind_; }
    // The category of a category's filter; none for the others.
    std::optional<TweakCategory> category() const {
        return kind_ == Kind::category ? std::optional(category_) : std::nullopt;
    }
    bool isAll() const { return kind_ == Kind::all; }
    // Whether the section of `kind` shows (every section in All).
    bool shows(Kind kind) const { return isAll() || kind_ == kind; }
    // Whether the section of `category` shows.
    bool shows(TweakCategory category) const {
        return isAll() || (kind_ == Kind::category && category_ == category);
    }

    friend bool operator==(const BrowseFilter&, const BrowseFilter&) = default;

  private:
    constexpr BrowseFilter(Kind kind, TweakCategory category) : kind_(kind), category_(category) {}

    Kind kind_ = Kind::all;
    // Left at its first value unless the kind is a category, so equal filters compare equal.
    TweakCategory category_{};
};

}  // namespace velmora
