// Screen-lock, advertising, Siri and iCloud privacy tweaks.
#include "kit/catalog/CatalogData.hpp"
#include "kit/catalog/CatalogMakers.hpp"

namespace velmora::catalog_data {

std::vector<Tweak> privacyTweaks() {
    return {
        tweak("privacy-require-password-immediately", "Require password immediately",
              "Asks for your password the instant the screen sleeps.", TweakCategory::privacy,
              TweakTier::simple, RiskLevel::safe, Logout::no,
              {toggle("com.apple.screensaver", "askForPassword", TweakValue::integer(1),
                      TweakValue::integer(0), Restart::none),
               toggle("com.apple.screensaver", "askForPasswordDelay", TweakValue::integer(0),
                      Restart::none)},
              {UserField::business, UserField::developer}, {UserGoal::privacy}),
        tweak("privacy-no-personalized-ads", "Turn off personalized ads",
              "Stops Apple from using your activity to target ads.", TweakCategory::privacy,
              TweakTier::simple, RiskLevel::safe, Logout::no,
              {toggle("com.apple.AdLib", "allowApplePersonalizedAdvertising",
                      TweakValue::boolean(false), Restart::none)},
              {UserField::business}, {UserGoal::privacy}),
        tweak("privacy-no-crash-reporter", "Silence the crash reporter",
              "Hides the pop-up window that appears when an app crashes.", TweakCategory::privacy,
              TweakTier::advanced, RiskLevel::caution, Logout::no,
              {toggle("com.apple.CrashReporter", "DialogType", TweakValue::string("none"),
                      Restart::none)},
              {UserField::developer}, {UserGoal::privacy, UserGoal::focus}),
        tweak("privacy-no-lookup-suggestions", "Turn off Look Up web suggestions",
              "Keeps your Look Up searches on your Mac, not Apple's servers.",
              TweakCategory::privacy, TweakTier::simple, RiskLevel::safe, Logout::no,
              {toggle("com.apple.lookup.shared", "LookupSuggestionsDisabled",
                      TweakValue::boolean(true), Restart::none)},
              {UserField::business}, {UserGoal::privacy}),
        tweak("privacy-disable-ask-siri", "Turn off Ask Siri",
              "Turns Siri off so your Mac stops listening for requests.", TweakCategory::privacy,
              TweakTier::advanced, RiskLevel::caution, Logout::yes,
              {toggle("com.apple.assistant.support", "Assistant Enabled",
                      TweakValue::boolean(false), Restart::none)},
              {UserField::business}, {UserGoal::privacy}),
        tweak("privacy-save-local-not-icloud", "Save new documents to the Mac, not iCloud",
              "Saves new documents to your Mac instead of iCloud.", TweakCategory::privacy,
              TweakTier::simple, RiskLevel::safe, Logout::no,
              {toggle("NSGlobalDomain", "NSDocumentSaveNewDocumentsToCloud",
                      TweakValue::boolean(false), Restart::none)},
              {UserField::business, UserField::writer}, {UserGoal::privacy}),
    };
}

}  // namespace velmora::catalog_data
