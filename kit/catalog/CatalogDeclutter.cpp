// Tweaks that hide desktop icons, the Dock and the menu bar, and the Declutter & Focus recipe.
#include "kit/catalog/CatalogData.hpp"
#include "kit/catalog/CatalogMakers.hpp"

namespace velmora::catalog_data {

std::vector<Tweak> declutterTweaks() {
    return {
        tweak("declutter-hide-desktop-icons", "Hide desktop icons",
              "Hides every icon on the desktop for a clean background.", TweakCategory::finder,
              TweakTier::simple, RiskLevel::safe, Logout::no,
              {toggle("com.apple.finder", "CreateDesktop", TweakValue::boolean(false),
                      Restart::finder)},
              {}, {}),
        tweak("declutter-autohide-dock", "Auto-hide the Dock",
              "Hides the Dock until you move your pointer to its edge.", TweakCategory::dock,
              TweakTier::simple, RiskLevel::safe, Logout::no,
              {toggle("com.apple.dock", "autohide", TweakValue::boolean(true), Restart::dock)}, {},
              {}),
        tweak("declutter-no-recent-apps-in-dock", "Hide recent apps in the Dock",
              "Removes the recently used apps section from the Dock.", TweakCategory::dock,
              TweakTier::simple, RiskLevel::safe, Logout::no,
              {toggle("com.apple.dock", "show-recents", TweakValue::boolean(false), Restart::dock)},
              {}, {}),
        tweak(
            "declutter-autohide-menu-bar", "Auto-hide the menu bar",
            "Hides the top menu bar until you move your pointer up there.", TweakCategory::system,
            TweakTier::advanced, RiskLevel::safe, Logout::yes,
            {toggle("NSGlobalDomain", "_HIHideMenuBar", TweakValue::boolean(true), Restart::none)},
            {}, {}),
    };
}

Recipe declutterRecipe() {
    return recipe("declutter-focus", "Declutter & Focus",
                  "Clears the screen by hiding desktop icons, Dock, and menu bar.",
                  {"declutter-hide-desktop-icons", "declutter-autohide-dock",
                   "declutter-no-recent-apps-in-dock", "declutter-autohide-menu-bar"},
                  {UserField::writer, UserField::clean, UserField::student}, {UserGoal::focus});
}

}  // namespace velmora::catalog_data
