// Animation and transparency tweaks that make the Mac feel faster.
#include "kit/catalog/CatalogData.hpp"
#include "kit/catalog/CatalogMakers.hpp"

namespace velmora::catalog_data {

std::vector<Tweak> performanceTweaks() {
    return {
        tweak("perf-no-window-animations", "Disable window open/close animations",
              "Opens and closes windows instantly, with no animation.", TweakCategory::performance,
              TweakTier::simple, RiskLevel::safe, Logout::no,
              {toggle("NSGlobalDomain", "NSAutomaticWindowAnimationsEnabled",
                      TweakValue::boolean(false), Restart::none)},
              {UserField::developer, UserField::clean}, {UserGoal::speed}),
        tweak("perf-fast-window-resize", "Faster window resizing",
              "Resizes windows instantly instead of gliding into the new size.",
              TweakCategory::performance, TweakTier::advanced, RiskLevel::safe, Logout::no,
              {toggle("NSGlobalDomain", "NSWindowResizeTime", TweakValue::real(0.001),
                      Restart::none)},
              {UserField::developer, UserField::designer}, {UserGoal::speed}),
        tweak("perf-reduce-transparency", "Reduce transparency",
              "Replaces blurry menus and panels with solid colors to save power.",
              TweakCategory::performance, TweakTier::simple, RiskLevel::safe, Logout::yes,
              {toggle("com.apple.universalaccess", "reduceTransparency", TweakValue::boolean(true),
                      Restart::none)},
              {UserField::clean, UserField::student}, {UserGoal::speed, UserGoal::focus}),
        tweak("perf-no-app-resume", "Don't reopen windows on relaunch",
              "Apps reopen empty instead of restoring your last windows.",
              TweakCategory::performance, TweakTier::advanced, RiskLevel::safe, Logout::no,
              {toggle("NSGlobalDomain", "NSQuitAlwaysKeepsWindows", TweakValue::boolean(false),
                      Restart::none)},
              {UserField::developer, UserField::clean}, {UserGoal::speed}),
        tweak("perf-fast-launchpad", "Speed up Launchpad animations",
              "Opens and closes Launchpad instantly, with no zoom animation.",
              TweakCategory::performance, TweakTier::advanced, RiskLevel::safe, Logout::yes,
              {toggle("com.apple.dock", "springboard-show-duration", TweakValue::real(0.0),
                      Restart::none),
               toggle("com.apple.dock", "springboard-hide-duration", TweakValue::real(0.0),
                      Restart::none)},
              {UserField::developer, UserField::designer}, {UserGoal::speed}),
        tweak("perf-disable-finder-animations", "Disable Finder animations",
              "Turns off Finder's animations so file actions happen instantly.",
              TweakCategory::performance, TweakTier::advanced, RiskLevel::safe, Logout::yes,
              {toggle("com.apple.finder", "DisableAllAnimations", TweakValue::boolean(true),
                      Restart::none)},
              {UserField::clean, UserField::developer}, {UserGoal::speed}),
        tweak("perf-fast-quicklook", "Faster Quick Look preview",
              "Shows the Space-bar file preview instantly, with no fade-in.",
              TweakCategory::performance, TweakTier::advanced, RiskLevel::safe, Logout::no,
              {toggle("NSGlobalDomain", "QLPanelAnimationDuration", TweakValue::real(0.0),
                      Restart::none)},
              {UserField::clean, UserField::photoVideo}, {UserGoal::speed}),
        tweak("perf-disable-smooth-scroll", "Disable smooth scrolling",
              "Scrolls exactly as far as you move, with no glide.", TweakCategory::performance,
              TweakTier::advanced, RiskLevel::safe, Logout::no,
              {toggle("NSGlobalDomain", "NSScrollAnimationEnabled", TweakValue::boolean(false),
                      Restart::none)},
              {UserField::developer, UserField::clean}, {UserGoal::speed, UserGoal::focus}),
    };
}

}  // namespace velmora::catalog_data
