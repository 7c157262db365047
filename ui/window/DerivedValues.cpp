// The shared counts and lists of one sync.
#include "ui/window/DerivedValues.hpp"

#include <algorithm>
#include <set>
#include <string>

#include "ui/model/AppModel.hpp"
#include "ui/sync/SyncCache.hpp"

namespace velmora {

namespace {

template <class Item>
int countOf(const std::vector<Item>& items) {
    return static_cast<int>(items.size());
}

}  // namespace

DerivedValues DerivedValues::of(const SyncCache& now) {
    const AppModel& model = now.model();
    const Catalog& catalog = model.catalog();
    DerivedValues values;

    std::set<std::string> covered;
    for (const Recipe& recipe : catalog.recipes()) {
        if (now.isApplied(recipe)) {
            values.appliedRecipes.push_back(recipe);
            for (const RecipeItem& item : recipe.items) {
                covered.insert(item.tweakID);
            }
        }
    }
    for (const Tweak* tweak : now.enabledTweaks()) {
        if (!covered.contains(tweak->id)) {
            values.enabledStandaloneTweaks.push_back(*tweak);
        }
    }

    values.onCount =
        static_cast<int>(now.appliedRecipeIDs().size()) + countOf(values.enabledStandaloneTweaks) +
        (model.keepAwakeWithLidClosed() ? 1 : 0) + countOf(model.enabledPowerToggles());
    values.favCount = countOf(model.favoriteRecipes()) + countOf(model.favoriteTweaks()) +
                      (model.favoritePower() ? 1 : 0);

    values.categories = catalog.categories();

    values.orderedRecipes = catalog.recommendedRecipes(model.profile(), recommendedRecipeLimit);
    std::set<std::string> recommended;
    for (const Recipe& recipe : values.orderedRecipes) {
        recommended.insert(recipe.id);
    }
    for (const Recipe& recipe : catalog.recipes()) {
        if (!recommended.contains(recipe.id)) {
            values.orderedRecipes.push_back(recipe);
        }
    }
    return values;
}

}  // namespace velmora
