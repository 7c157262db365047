// Finder window, sorting and warning tweaks, and the Finder Power recipe.
#include "kit/catalog/CatalogData.hpp"
#include "kit/catalog/CatalogMakers.hpp"

namespace velmora::catalog_data {

std::vector<Tweak> finderPowerTweaks() {
    return {
        tweak(
            "finder-show-path-bar", "Show the Finder path bar",
            "Shows the current folder's path along the bottom of Finder windows.",
            TweakCategory::finder, TweakTier::simple, RiskLevel::safe, Logout::no,
            {toggle("com.apple.finder", "ShowPathbar", TweakValue::boolean(true), Restart::finder)},
            {}, {}),
        tweak("finder-show-status-bar", "Show the Finder status bar",
              "Shows item count and free space at the bottom of Finder windows.",
              TweakCategory::finder, TweakTier::simple, RiskLevel::safe, Logout::no,
              {toggle("com.apple.finder", "ShowStatusBar", TweakValue::boolean(true),
                      Restart::finder)},
              {}, {}),
        tweak("finder-folders-on-top", "Keep folders on top when sorting",
              "Groups folders above loose files in every Finder window.", TweakCategory::finder,
              TweakTier::simple, RiskLevel::safe, Logout::no,
              {toggle("com.apple.finder", "_FXSortFoldersFirst", TweakValue::boolean(true),
                      Restart::finder)},
              {}, {}),
        tweak("finder-list-view-default", "Default to list view",
              "Opens new Finder windows as a tidy column list instead of icons.",
              TweakCategory::finder, TweakTier::simple, RiskLevel::safe, Logout::no,
              {toggle("com.apple.finder", "FXPreferredViewStyle", TweakValue::string("Nlsv"),
                      Restart::finder)},
              {}, {}),
        tweak("finder-search-current-folder", "Search the current folder by default",
              "Searches only the current folder instead of your whole Mac.", TweakCategory::finder,
              TweakTier::simple, RiskLevel::safe, Logout::no,
              {toggle("com.apple.finder", "FXDefaultSearchScope", TweakValue::string("SCcf"),
                      Restart::finder)},
              {}, {}),
        tweak("finder-no-extension-warning", "No warning when changing a file extension",
              "Skips the warning when you change a file's extension.", TweakCategory::finder,
              TweakTier::advanced, RiskLevel::caution, Logout::no,
              {toggle("com.apple.finder", "FXEnableExtensionChangeWarning",
                      TweakValue::boolean(false), Restart::finder)},
              {}, {}),
        tweak("finder-posix-path-in-title", "Show the full folder path in the title bar",
              "Shows the full folder path in each window's title bar.", TweakCategory::finder,
              TweakTier::advanced, RiskLevel::safe, Logout::no,
              {toggle("com.apple.finder", "_FXShowPosixPathInTitle", TweakValue::boolean(true),
                      Restart::finder)},
              {UserField::developer}, {UserGoal::speed}),
        tweak("finder-no-dsstore-usb", "Don't write .DS_Store files on USB drives",
              "Stops macOS from leaving hidden .DS_Store files on USB drives.",
              TweakCategory::finder, TweakTier::advanced, RiskLevel::safe, Logout::yes,
              {toggle("com.apple.desktopservices", "DSDontWriteUSBStores",
                      TweakValue::boolean(true), Restart::none)},
              {UserField::developer, UserField::clean}, {UserGoal::privacy}),
        tweak("finder-new-window-home", "Open new Finder windows to your Home folder",
              "Opens new Finder windows to your Home folder.", TweakCategory::finder,
              TweakTier::simple, RiskLevel::safe, Logout::no,
              {toggle("com.apple.finder", "NewWindowTarget", TweakValue::string("PfHm"),
                      Restart::finder)},
              {UserField::clean}, {UserGoal::speed}),
        tweak("finder-no-empty-trash-warning", "No warning when emptying the Trash",
              "Empties the Trash without asking you to confirm.", TweakCategory::finder,
              TweakTier::advanced, RiskLevel::caution, Logout::no,
              {toggle("com.apple.finder", "WarnOnEmptyTrash", TweakValue::boolean(false),
                      Restart::finder)},
              {UserField::developer}, {UserGoal::speed}),
        tweak("finder-show-external-drives-desktop", "Show external drives on the desktop",
              "Shows USB sticks and external drives on your desktop.", TweakCategory::finder,
              TweakTier::simple, RiskLevel::safe, Logout::no,
              {toggle("com.apple.finder", "ShowExternalHardDrivesOnDesktop",
                      TweakValue::boolean(true), Restart::finder)},
              {UserField::photoVideo, UserField::clean}, {UserGoal::speed}),
    };
}

Recipe finderPowerRecipe() {
    return recipe(
        "finder-power", "Finder Power",
        "Adds the path bar, status bar, list view, and smarter search.",
        {"finder-show-path-bar", "finder-show-status-bar", "finder-folders-on-top",
         "finder-list-view-default", "finder-search-current-folder", "finder-no-extension-warning"},
        {UserField::developer, UserField::designer, UserField::business},
        {UserGoal::speed, UserGoal::keyboard});
}

}  // namespace velmora::catalog_data
