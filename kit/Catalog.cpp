// Lookups, filters and search over a catalog's tweaks.
#include "kit/Catalog.hpp"

#include <algorithm>

#include "kit/Search.hpp"

namespace velmora {

Catalog::Catalog(std::vector<Tweak> tweaks, std::vector<Recipe> recipes)
    : tweaks_(std::move(tweaks)), recipes_(std::move(recipes)) {}

const Search::Index* Catalog::searchIndex() const {
    if (!searchIndex_) {
        return nullptr;
    }
    std::call_once(searchIndex_->prepared, [this] {
        std::vector<std::string> texts;
        texts.reserve(tweaks_.size());
        for (const Tweak& entry : tweaks_) {
            texts.push_back(haystack(entry));
        }
        searchIndex_->index.emplace(texts);
    });
    return &*searchIndex_->index;
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
    const Search::Index* index = searchIndex();
    if (index == nullptr) {
        return found;
    }
    for (const std::size_t position : index->matching(words)) {
        found.push_back(&tweaks_[position]);
    }
    return found;
}

}  // namespace velmora
