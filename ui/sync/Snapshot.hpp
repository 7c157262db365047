// What the views show of the model in one sync, read once and shared by every view of that sync,
// so the popover, the top bar, the sidebar and a page never disagree and the engine is read once
// per tweak rather than once per view.
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

class Snapshot {
  public:
    explicit Snapshot(AppModel& model);

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
