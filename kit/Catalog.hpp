// The tweaks and recipes the system offers, with lookups, search and recommendations over them.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kit/PowerTweak.hpp"
#include "kit/Search.hpp"
#include "kit/SliderTweak.hpp"
#include "kit/Tweak.hpp"
#include "kit/UserProfile.hpp"

namespace velmora {

class Catalog {
  public:
    Catalog(std::vector<Tweak> tweaks, std::vector<Recipe> recipes);

    // The built-in catalog: 94 tweaks and 5 recipes, built on first use, shared by all threads.
    static const Catalog& velmora();
    // The built-in pmset settings and sliders; they are not part of any catalog value.
    static const std::vector<PowerTweak>& powerToggles();
    static const std::vector<SliderTweak>& sliderTweaks();

    // Both in catalog order, the order of every list shown and the tie-break of every ranking.
    const std::vector<Tweak>& tweaks() const { return tweaks_; }
    const std::vector<Recipe>& recipes() const { return recipes_; }

    // The first tweak whose id equals `id` exactly, or nothing.
    std::optional<Tweak> tweak(std::string_view id) const;
    std::vector<Tweak> tweaks(TweakCategory category) const;
    std::vector<Tweak> tweaks(TweakTier tier) const;
    // Each category that has a tweak, once, in the order of its first tweak.
    std::vector<TweakCategory> categories() const;
    // The tweaks whose title, summary, category name, domains and keywords match the query, in
    // catalog order. The hits point into this catalog (search runs at every keystroke, so no tweak
    // is copied) and stay valid as long as it lives.
    std::vector<const Tweak*> search(std::string_view query) const;

    // 2 points per listed field the profile holds, 1 per listed goal; repeats count again.
    static int score(const std::vector<UserField>& fields, const std::vector<UserGoal>& goals,
                     const UserProfile& profile);
    // Scoring items, best first, ties in catalog order, at most `limit` (a negative limit is 0).
    std::vector<Recipe> recommendedRecipes(const UserProfile& profile, int limit) const;
    // The same for tweaks; a desktop profile never gets a laptop-only tweak.
    std::vector<Tweak> recommendedTweaks(const UserProfile& profile, int limit) const;

  private:
    // The search text of each tweak, prepared at the first search rather than at creation: most
    // runs never search (the start shows Home), and preparing it loads the text library's case
    // and character tables. Shared by copies, whose tweaks are the same: a catalog never changes.
    struct SearchIndex {
        std::once_flag prepared;
        std::optional<Search::Index> index;
    };

    static std::string haystack(const Tweak& tweak);
    // Nothing for a catalog moved from, which has no tweaks left either.
    const Search::Index* searchIndex() const;

    std::vector<Tweak> tweaks_;
    std::vector<Recipe> recipes_;
    std::shared_ptr<SearchIndex> searchIndex_ = std::make_shared<SearchIndex>();
};

}  // namespace velmora
