// The per-sync cache of the reads that cost: whether each tweak is on (one engine read per tweak,
// made the first time a view asks in this sync) and the applied recipes. Every view of one sync
// reads them here, so the popover, the top bar, the sidebar and a page never disagree on them and
// the engine is read once per tweak rather than once per view. It is not all that views show:
// setups, favourites, the profile and the rules are cheap and read from AppModel directly.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "kit/PowerTweak.hpp"
#include "kit/Tweak.hpp"

namespace velmora {

class AppModel;

class SyncCache {
  public:
    explicit SyncCache(AppModel& model);

    AppModel& model() const { return *model_; }
    std::int64_t revision() const { return revision_; }

    // Whether the tweak is on, read from the engine the first time a view asks in this sync; a
    // read that fails counts as off.
    bool isOn(const Tweak& tweak) const;
    // Whether the power setting's cached pmset value is its on value.
    bool isOn(const PowerTweak& toggle) const;
    bool isApplied(const Recipe& recipe) const { return appliedRecipeIDs_.contains(recipe.id); }
    const std::set<std::string>& appliedRecipeIDs() const { return appliedRecipeIDs_; }

    // The catalog's tweaks that are on, in catalog order.
    std::vector<const Tweak*> enabledTweaks() const;

  private:
    AppModel* model_;
    std::int64_t revision_;
    std::set<std::string> appliedRecipeIDs_;
    mutable std::unordered_map<std::string, bool> tweakStates_;
};

}  // namespace velmora
