// What the top bar, the sidebar and several pages derive from the model: worked out once per sync
// from its cache of engine reads, so that they never disagree and the engine is asked once per
// tweak.
#pragma once

#include <vector>

#include "kit/Tweak.hpp"

namespace velmora {

class SyncCache;

struct DerivedValues {
    // The catalog's recipes that are applied, in catalog order.
    std::vector<Recipe> appliedRecipes;
    // Tweaks that are on by themselves: on, and in none of the applied recipes' items (an item
    // marked not enabled still covers its tweak).
    std::vector<Tweak> enabledStandaloneTweaks;
    // Applied recipe ids, stand-alone tweaks, keep-awake and power settings that are on.
    int onCount = 0;
    // Favourite recipes and tweaks, plus the pinned keep-awake item; pinned power settings are
    // not counted.
    int favCount = 0;
    // Each tweak category once, in order of first appearance in the catalog.
    std::vector<TweakCategory> categories;
    // Home's recipe order: up to four recommended for the profile, then the rest in catalog order.
    std::vector<Recipe> orderedRecipes;

    static constexpr int recommendedRecipeLimit = 4;

    static DerivedValues of(const SyncCache& now);
};

}  // namespace velmora
