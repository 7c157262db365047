// Recipes and tweaks that suit a user's onboarding answers, best first.
#include <algorithm>
#include <functional>

#include "kit/Catalog.hpp"

namespace velmora {

namespace {

constexpr int kPointsPerField = 2;
constexpr int kPointsPerGoal = 1;

// Stable by score, so equal scores keep catalog order; `limit` below 0 counts as 0.
template <class Item>
std::vector<Item> ranked(const std::vector<Item>& items, const UserProfile& profile, int limit,
                         const std::function<bool(const Item&)>& eligible) {
    std::vector<std::pair<int, const Item*>> scored;
    for (const Item& item : items) {
        if (!eligible(item)) {
            continue;
        }
        const int points = Catalog::score(item.fields, item.goals, profile);
        if (points > 0) {
            scored.emplace_back(points, &item);
        }
    }
    std::stable_sort(scored.begin(), scored.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    const auto count = std::min(scored.size(), static_cast<std::size_t>(std::max(limit, 0)));
    std::vector<Item> best;
    best.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        best.push_back(*scored[i].second);
    }
    return best;
}

}  // namespace

int Catalog::score(const std::vector<UserField>& fields, const std::vector<UserGoal>& goals,
                   const UserProfile& profile) {
    const auto fieldHits = std::count_if(fields.begin(), fields.end(),
                                         [&](UserField f) { return profile.fields.contains(f); });
    const auto goalHits = std::count_if(goals.begin(), goals.end(),
                                        [&](UserGoal g) { return profile.goals.contains(g); });
    return static_cast<int>(fieldHits) * kPointsPerField +
           static_cast<int>(goalHits) * kPointsPerGoal;
}

std::vector<Recipe> Catalog::recommendedRecipes(const UserProfile& profile, int limit) const {
    return ranked<Recipe>(recipes_, profile, limit, [](const Recipe&) { return true; });
}

std::vector<Tweak> Catalog::recommendedTweaks(const UserProfile& profile, int limit) const {
    const bool desktop = profile.device == DeviceKind::desktop;
    return ranked<Tweak>(tweaks_, profile, limit,
                         [desktop](const Tweak& t) { return !(desktop && t.laptopOnly); });
}

}  // namespace velmora
