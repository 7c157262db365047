// Lookups, filters and search over a catalog's tweaks.
#include "kit/Catalog.hpp"

#include <algorithm>

#include "kit/Search.hpp"

namespace velmora {

Catalog::Catalog(std::vector<Tweak> tweaks, std::vector<Recipe> recipes)
    : tweaks_(std::move(tweaks)), recipes_(std::move(recipes)) {}

const std::vector<Search::Haystack>& Catalog::haystacks() const {
    static const std::vector<Search::Haystack> none;
    if (!searchIndex_) {
        return none;  // a catalog moved from: it has no tweaks left either
    }
    std::call_once(searchIndex_->prepared, [this] {
        std::vector<Search::Haystack>& haystacks = searchIndex_->haystacks;
        haystacks.reserve(tweaks_.size());
        for (const Tweak& entry : tweaks_) {
            haystacks.emplace_back(haystack(entry));
        }
    });
    return searchIndex_->haystacks;
}

std::string Catalog::haystack(const Tweak& tweak) {
    std::string text = tweak.title + " " + tweak.summary + " " + displayName(tweak.category);
    for (const DefaultsToggle& toggle : tweak.toggles) {
        text += " " + toggle.key.domain;  // the domain only: keys and values are not searched
    }
    return text + " " + Search::keywords(tweak.id);
}

std::optional<Tweak> Catalog::tweak(std::string_view id) const {
    for (const Tweak& entry : tweaks_) {
        if (entry.id == id) {
            return entry;
        }
    }
    return std::nullopt;
}

std::vector<Tweak> Catalog::tweaks(TweakCategory category) const {
    std::vector<Tweak> found;
    for (const Tweak& entry : tweaks_) {
        if (entry.category == category) {
            found.push_back(entry);
        }
    }
    return found;
}

std::vector<TweakCategory> Catalog::categories() const {
    std::vector<TweakCategory> found;
    for (const Tweak& entry : tweaks_) {
        if (std::find(found.begin(), found.end(), entry.category) == found.end()) {
            found.push_back(entry.category);
        }
    }
    return found;
}

std::vector<Tweak> Catalog::tweaks(TweakTier tier) const {
    std::vector<Tweak> found;
    for (const Tweak& entry : tweaks_) {
        if (entry.tier == tier) {
            found.push_back(entry);
        }
    }
    return found;
}

std::vector<const Tweak*> Catalog::search(std::string_view query) const {
    // An empty or blank query has no word, so it matches nothing.
    const Search::Query words(query);
    std::vector<const Tweak*> found;
    if (!words.hasTokens()) {
        return found;
    }
    const std::vector<Search::Haystack>& prepared = haystacks();
    for (std::size_t i = 0; i < tweaks_.size(); ++i) {
        if (words.matches(prepared[i])) {
            found.push_back(&tweaks_[i]);
        }
    }
    return found;
}

}  // namespace velmora
