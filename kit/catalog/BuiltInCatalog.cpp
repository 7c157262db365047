// Joins the built-in data lists into the one catalog value, in catalog order.
#include "kit/Catalog.hpp"
#include "kit/catalog/CatalogData.hpp"

namespace velmora {

namespace {

Catalog assemble() {
    using namespace catalog_data;
    std::vector<Tweak> tweaks;
    for (auto list : {starterRecipeTweaks, finderPowerTweaks, developerSetupTweaks, declutterTweaks,
                      hotCornerTweaks, performanceTweaks, inputTweaks, privacyTweaks, spacesTweaks,
                      moreTweaks}) {
        std::vector<Tweak> part = list();
        tweaks.insert(tweaks.end(), std::make_move_iterator(part.begin()),
                      std::make_move_iterator(part.end()));
    }
    std::vector<Recipe> recipes = starterRecipes();
    recipes.push_back(finderPowerRecipe());
    recipes.push_back(developerSetupRecipe());
    recipes.push_back(declutterRecipe());
    return Catalog(std::move(tweaks), std::move(recipes));
}

}  // namespace

const Catalog& Catalog::velmora() {
    static const Catalog builtIn = assemble();  // thread-safe once-only construction
    return builtIn;
}

}  // namespace velmora
