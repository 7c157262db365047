// Hidden-file, key-repeat and dialog tweaks for developers, and the Developer Setup recipe.
#include "kit/catalog/CatalogData.hpp"
#include "kit/catalog/CatalogMakers.hpp"

namespace velmora::catalog_data {

std::vector<Tweak> developerSetupTweaks() {
    return {
        tweak("dev-show-hidden-files", "Show hidden files in Finder",
              "Shows the hidden files Finder normally keeps out of sight.", TweakCategory::finder,
              TweakTier::simple, RiskLevel::safe, Logout::no,
              {toggle("com.apple.finder", "AppleShowAllFiles", TweakValue::boolean(true),
                      Restart::finder)},
              {}, {}),
        tweak("dev-show-all-extensions", "Show all file extensions",
              "Always shows each file's extension, like .txt or .jpg.", TweakCategory::finder,
              TweakTier::simple, RiskLevel::safe, Logout::no,
              {toggle("NSGlobalDomain", "AppleShowAllExtensions", TweakValue::boolean(true),
                      Restart::finder)},
              {}, {}),
        tweak("dev-fast-key-repeat", "Faster key repeat",
              "Makes a held-down key repeat faster across the screen.", TweakCategory::keyboard,
              TweakTier::advanced, RiskLevel::safe, Logout::yes,
              {toggle("NSGlobalDomain", "KeyRepeat", TweakValue::integer(2), Restart::none)},
              {UserField::developer, UserField::writer}, {UserGoal::keyboard, UserGoal::speed}),
        tweak(
            "dev-short-initial-key-repeat", "Shorter delay until key repeat",
            "Shortens the pause before a held key starts repeating.", TweakCategory::keyboard,
            TweakTier::advanced, RiskLevel::safe, Logout::yes,
            {toggle("NSGlobalDomain", "InitialKeyRepeat", TweakValue::integer(15), Restart::none)},
            {UserField::developer, UserField::writer}, {UserGoal::keyboard, UserGoal::speed}),
        tweak("dev-disable-press-and-hold", "Disable press-and-hold accent menu",
              "Lets a held key repeat instead of showing accents.", TweakCategory::keyboard,
              TweakTier::advanced, RiskLevel::safe, Logout::yes,
              {toggle("NSGlobalDomain", "ApplePressAndHoldEnabled", TweakValue::boolean(false),
                      Restart::none)},
              {UserField::developer}, {UserGoal::keyboard}),
        tweak("dev-no-dsstore-on-network", "No .DS_Store on network drives",
              "Stops macOS from leaving hidden files on network drives.", TweakCategory::system,
              TweakTier::advanced, RiskLevel::safe, Logout::yes,
              {toggle("com.apple.desktopservices", "DSDontWriteNetworkStores",
                      TweakValue::boolean(true), Restart::none)},
              {}, {}),
        tweak("dev-expand-save-panel", "Expanded save dialogs by default",
              "Opens Save dialogs in full view with every folder shown.", TweakCategory::system,
              TweakTier::simple, RiskLevel::safe, Logout::no,
              {toggle("NSGlobalDomain", "NSNavPanelExpandedStateForSaveMode",
                      TweakValue::boolean(true), Restart::none)},
              {}, {}),
    };
}

Recipe developerSetupRecipe() {
    return recipe("developer-setup", "Developer Setup",
                  "Sets up a developer-friendly Mac with seven handy Finder and keyboard tweaks.",
                  {"dev-show-hidden-files", "dev-show-all-extensions", "dev-fast-key-repeat",
                   "dev-short-initial-key-repeat", "dev-disable-press-and-hold",
                   "dev-no-dsstore-on-network", "dev-expand-save-panel"},
                  {UserField::developer}, {UserGoal::keyboard, UserGoal::speed});
}

}  // namespace velmora::catalog_data
