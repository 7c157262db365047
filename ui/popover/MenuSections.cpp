// The panel's sections: Favorites, For you and Recipes.
#include "ui/popover/MenuSections.hpp"

#include "ui/model/AppModel.hpp"
#include "ui/sync/SyncCache.hpp"

namespace velmora {

namespace {

constexpr const char* kEmptyFavorites = "Favorite a recipe or power-up to see it here.";

MenuRow recipeRow(AppModel& model, const SyncCache& cache, const Recipe& recipe) {
    // toggle() reads the applied set at the click, not what the row last showed.
    return {MenuRow::Kind::recipe, recipe.id, recipe.title, cache.isApplied(recipe),
            [&model, recipe] { model.toggle(recipe); }};
}

MenuRow tweakRow(AppModel& model, const SyncCache& cache, const Tweak& tweak) {
    // toggleTweak() reads the engine at the click; a read that fails counts as off.
    return {MenuRow::Kind::tweak, tweak.id, tweak.title, cache.isOn(tweak),
            [&model, tweak] { model.toggleTweak(tweak); }};
}

MenuSection favorites(AppModel& model, const SyncCache& cache) {
    MenuSection section;
    if (!model.hasFavorites()) {
        section.note = kEmptyFavorites;
        return section;
    }
    section.heading = "Favorites";
    section.divider = true;
    for (const Recipe& recipe : model.favoriteRecipes()) {
        section.rows.push_back(recipeRow(model, cache, recipe));
    }
    for (const Tweak& tweak : model.favoriteTweaks()) {
        section.rows.push_back(tweakRow(model, cache, tweak));
    }
    if (model.favoritePower()) {
        section.rows.push_back({MenuRow::Kind::power, neverSleepID, "Never sleep",
                                model.keepAwakeWithLidClosed(),
                                [&model] { model.toggleKeepAwakeWithLidClosed(); }});
    }
    for (const PowerTweak& toggle : model.favoritePowerToggles()) {
        section.rows.push_back({MenuRow::Kind::power, toggle.id, toggle.title, cache.isOn(toggle),
                                [&model, toggle] { model.togglePowerToggle(toggle); }});
    }
    return section;
}

}  // namespace

std::vector<MenuSection> menuSections(AppModel& model, const SyncCache& cache) {
    std::vector<MenuSection> sections{favorites(model, cache)};

    // Worked out again at every sync, from the profile as it is now.
    const std::vector<Tweak> recommended = model.recommendedTweaks();
    if (!recommended.empty()) {
        MenuSection forYou;
        forYou.heading = "For you";
        forYou.divider = true;
        for (std::size_t i = 0; i < recommended.size() && i < recommendedRowLimit; ++i) {
            forYou.rows.push_back(tweakRow(model, cache, recommended[i]));
        }
        sections.push_back(std::move(forYou));
    }

    MenuSection recipes;
    recipes.heading = "Recipes";
    for (const Recipe& recipe : model.recipes()) {
        recipes.rows.push_back(recipeRow(model, cache, recipe));
    }
    sections.push_back(std::move(recipes));
    return sections;
}

}  // namespace velmora
