// Applies a recipe as a run of ordinary tweak changes and reverts it from their records.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "kit/Catalog.hpp"
#include "kit/ChangeRecord.hpp"
#include "kit/TweakEngine.hpp"

namespace velmora {

// What applying one recipe changed: one record per item, in item order.
struct AppliedRecipe {
    std::string recipeID;
    std::vector<ChangeRecord> changes;

    friend bool operator==(const AppliedRecipe&, const AppliedRecipe&) = default;
};

class RecipeRunner {
  public:
    RecipeRunner(std::shared_ptr<TweakEngine> engine, Catalog catalog);

    std::shared_ptr<TweakEngine> engine;
    Catalog catalog;

    // Sets every item's tweak to the item's state, in order. An item naming no catalog tweak
    // throws `VelmoraError::unknownTweak`, and an engine error is thrown as it is; either way the
    // items before it stay applied and recorded in the engine's history.
    AppliedRecipe apply(const Recipe& recipe) const;
    // The same, appending each record to `applied` as it is made: after a failure `applied` holds
    // what was changed before it (the failing item's record too when only its restart failed), so
    // that `revert` can still put it back exactly.
    void apply(const Recipe& recipe, AppliedRecipe& applied) const;
    // Undoes the records newest first, so a key changed by several items ends at the value it held
    // before the recipe; the first error stops the walk and is thrown.
    void revert(const AppliedRecipe& applied) const;
};

}  // namespace velmora
