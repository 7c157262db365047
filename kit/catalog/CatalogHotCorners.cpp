// The hot-corner tweak of the built-in catalog.
#include "kit/catalog/CatalogData.hpp"
#include "kit/catalog/CatalogMakers.hpp"

namespace velmora::catalog_data {

std::vector<Tweak> hotCornerTweaks() {
    return {
        tweak(
            "hot-corner-bottom-left-mission-control", "Hot corner: bottom-left → Mission Control",
            "Move the pointer to the bottom-left corner to open Mission Control.",
            TweakCategory::dock, TweakTier::advanced, RiskLevel::safe, Logout::no,
            {toggle("com.apple.dock", "wvous-bl-corner", TweakValue::integer(2), Restart::dock),
             toggle("com.apple.dock", "wvous-bl-modifier", TweakValue::integer(0), Restart::dock)},
            {}, {}),
    };
}

}  // namespace velmora::catalog_data
