// Tweak states are read lazily, once per sync, and kept for the rest of it.
#include "ui/sync/SyncCache.hpp"

#include "ui/model/AppModel.hpp"

namespace velmora {

SyncCache::SyncCache(AppModel& model)
    : model_(&model), revision_(model.revision()), appliedRecipeIDs_(model.appliedRecipeIDs()) {}

bool SyncCache::isOn(const Tweak& tweak) const {
    const auto found = tweakStates_.find(tweak.id);
    if (found != tweakStates_.end()) {
        return found->second;
    }
    const bool on = model_->isEnabled(tweak);
    tweakStates_.emplace(tweak.id, on);
    return on;
}

bool SyncCache::isOn(const PowerTweak& toggle) const {
    return model_->isPowerToggleOn(toggle);
}

std::vector<const Tweak*> SyncCache::enabledTweaks() const {
    std::vector<const Tweak*> result;
    for (const Tweak& tweak : model_->catalog().tweaks()) {
        if (isOn(tweak)) {
            result.push_back(&tweak);
        }
    }
    return result;
}

}  // namespace velmora
