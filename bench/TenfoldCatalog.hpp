// The built-in catalog ten times over, for measuring how search and pages scale with the catalog.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "kit/Catalog.hpp"

namespace velmora::bench {

// Each copy's tweaks carry ids of their own, so none shadows another.
inline const Catalog& tenfoldCatalog() {
    constexpr int kTimes = 10;
    static const Catalog catalog = [] {
        std::vector<Tweak> tweaks;
        for (int copy = 0; copy < kTimes; ++copy) {
            for (Tweak tweak : Catalog::velmora().tweaks()) {
                tweak.id += '-';
                tweak.id += std::to_string(copy);
                tweaks.push_back(std::move(tweak));
            }
        }
        return Catalog(std::move(tweaks), Catalog::velmora().recipes());
    }();
    return catalog;
}

}  // namespace velmora::bench
