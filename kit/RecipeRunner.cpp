// Recipe application and reversal through the change engine.
#include "kit/RecipeRunner.hpp"

#include "kit/VelmoraError.hpp"

namespace velmora {

RecipeRunner::RecipeRunner(std::shared_ptr<TweakEngine> engine_, Catalog catalog_)
    : engine(std::move(engine_)), catalog(std::move(catalog_)) {}

AppliedRecipe RecipeRunner::apply(const Recipe& recipe) const {
    AppliedRecipe applied{recipe.id, {}};
    apply(recipe, applied);
    return applied;
}

void RecipeRunner::apply(const Recipe& recipe, AppliedRecipe& applied) const {
    applied.recipeID = recipe.id;
    for (const RecipeItem& item : recipe.items) {
        const std::optional<Tweak> tweak = catalog.tweak(item.tweakID);
        if (!tweak) {
            throw VelmoraError::unknownTweak(item.tweakID);
        }
        const std::size_t recordsBefore = engine->history->records().size();
        try {
            applied.changes.push_back(engine->setEnabled(item.enabled, *tweak));
        } catch (...) {
            // A failed restart comes after the keys were written and recorded.
            if (engine->history->records().size() > recordsBefore) {
                applied.changes.push_back(engine->history->records().back());
            }
            throw;
        }
    }
}

void RecipeRunner::revert(const AppliedRecipe& applied) const {
    for (auto record = applied.changes.rbegin(); record != applied.changes.rend(); ++record) {
        engine->undo(*record);
    }
}

}  // namespace velmora
