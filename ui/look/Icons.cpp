// The symbol tables of recipes and power-ups; the names are the design's symbol names, which the
// symbol map turns into drawable icons.
#include "ui/look/Icons.hpp"

#include <array>
#include <cstddef>

namespace velmora {

namespace {

using Table = std::unordered_map<std::string, std::string>;

// In TweakCategory declaration order.
constexpr std::array<const char*, 13> kCategoryFallbacks{
    "folder",             // finder
    "dock.rectangle",     // dock
    "camera.viewfinder",  // screenshots
    "keyboard",           // keyboard
    "wifi",               // network
    "powersleep",         // power
    "safari",             // safari
    "gearshape",          // system
    "lock.shield",        // privacy
    "speedometer",        // performance
    "hand.tap",           // trackpad
    "rectangle.3.group",  // missionControl
    "menubar.rectangle",  // menubar
};

}  // namespace

const Table& Icons::recipeMap() {
    static const Table table{
        {"screenshot-studio", "camera.viewfinder"},
        {"speed-boost", "hare.fill"},
        {"finder-power", "folder.fill"},
        {"developer-setup", "chevron.left.forwardslash.chevron.right"},
        {"declutter-focus", "moon.fill"},
    };
    return table;
}

const Table& Icons::tweakMap() {
    static const Table table{
        {"declutter-hide-desktop-icons", "macwindow"},
        {"declutter-autohide-dock", "dock.rectangle"},
        {"declutter-no-recent-apps-in-dock", "clock.arrow.circlepath"},
        {"declutter-autohide-menu-bar", "menubar.rectangle"},
        {"screenshot-disable-shadow", "square.on.square"},
        {"screenshot-disable-thumbnail", "rectangle.slash"},
        {"screenshot-format-jpg", "photo"},
        {"dock-instant-autohide-delay", "dock.rectangle"},
        {"dock-fast-autohide-animation", "wind"},
        {"dock-no-launch-bounce", "arrow.up.circle"},
        {"dock-fast-mission-control", "rectangle.3.group"},
        {"dev-show-hidden-files", "eye"},
        {"dev-show-all-extensions", "doc.text"},
        {"dev-fast-key-repeat", "keyboard"},
        {"dev-short-initial-key-repeat", "timer"},
        {"dev-disable-press-and-hold", "textformat"},
        {"dev-no-dsstore-on-network", "externaldrive.badge.xmark"},
        {"dev-expand-save-panel", "square.and.arrow.down"},
        {"hot-corner-bottom-left-mission-control", "rectangle.3.group"},
        {"mc-no-rearrange-spaces", "arrow.left.arrow.right"},
        {"mc-group-windows-by-app", "square.stack.3d.up"},
        {"menubar-battery-percentage", "battery.100"},
        {"safari-show-full-url", "link"},
        {"safari-develop-menu", "hammer"},
        {"privacy-require-password-immediately", "lock"},
        {"privacy-no-personalized-ads", "hand.raised.slash"},
        {"privacy-no-crash-reporter", "exclamationmark.bubble"},
        {"kb-full-keyboard-access", "keyboard"},
        {"kb-disable-autocorrect", "textformat.abc"},
        {"kb-disable-smart-quotes", "quote.opening"},
        {"trackpad-tap-to-click", "hand.tap"},
        {"trackpad-three-finger-drag", "hand.draw"},
        {"finder-show-path-bar", "list.bullet.rectangle"},
        {"finder-show-status-bar", "info.circle"},
        {"finder-folders-on-top", "folder"},
        {"finder-list-view-default", "list.bullet"},
        {"finder-search-current-folder", "magnifyingglass"},
        {"finder-no-extension-warning", "exclamationmark.triangle"},
        {"perf-no-window-animations", "wind"},
        {"perf-fast-window-resize", "arrow.up.left.and.arrow.down.right"},
        {"perf-reduce-transparency", "circle.lefthalf.filled"},
        {"perf-no-app-resume", "arrow.counterclockwise"},
        {"power-disable-powernap", "moon.zzz"},
        {"power-low-power-mode", "leaf.fill"},
        {"power-no-network-wake", "wifi.slash"},
        {"power-no-tcp-keepalive", "wifi.exclamationmark"},
        {"power-wake-on-power", "powerplug"},
        {"dock-lock-size", "lock"},
        {"dock-minimize-to-app-icon", "macwindow"},
        {"dock-scale-minimize-effect", "minus.rectangle"},
        {"dock-translucent-hidden-apps", "eye.slash"},
        {"finder-new-window-home", "house"},
        {"finder-no-dsstore-usb", "externaldrive"},
        {"finder-no-empty-trash-warning", "trash"},
        {"finder-posix-path-in-title", "macwindow.badge.plus"},
        {"finder-show-external-drives-desktop", "externaldrive.fill"},
        {"kb-disable-auto-capitalization", "textformat"},
        {"kb-disable-auto-period", "a.square"},
        {"kb-function-keys", "function"},
        {"mc-hot-corner-mission-control", "rectangle.3.group"},
        {"mc-no-space-autoswitch", "pin"},
        {"menubar-clock-seconds", "clock"},
        {"perf-disable-finder-animations", "wind"},
        {"perf-disable-smooth-scroll", "scroll"},
        {"perf-fast-launchpad", "square.grid.3x3"},
        {"perf-fast-quicklook", "eye.circle"},
        {"privacy-disable-ask-siri", "mic.slash"},
        {"privacy-no-lookup-suggestions", "magnifyingglass"},
        {"privacy-save-local-not-icloud", "icloud.slash"},
        {"safari-no-auto-open-downloads", "arrow.down.circle"},
        {"safari-web-inspector", "curlybraces"},
        {"screenshot-no-date-in-name", "calendar"},
        {"screenshot-show-clicks", "cursorarrow.click"},
        {"trackpad-natural-scroll-off", "arrow.up.arrow.down"},
        {"perf-reduce-motion", "figure.walk.motion"},
        {"system-no-quarantine-warning", "exclamationmark.shield"},
        {"system-expand-print-panel", "printer"},
        {"system-no-diskimage-verify", "opticaldiscdrive"},
        {"system-timemachine-no-prompt", "clock.arrow.2.circlepath"},
        {"system-increase-contrast", "circle.righthalf.filled"},
        {"system-appstore-daily-updates", "arrow.triangle.2.circlepath"},
        {"system-photos-no-autoopen", "photo.stack"},
        {"system-textedit-plain-text", "doc.plaintext"},
        {"finder-open-window-on-mount", "externaldrive.badge.plus"},
        {"finder-spawn-tab", "rectangle.split.3x1"},
        {"dock-single-app-mode", "rectangle.center.inset.filled"},
        {"dock-static-only", "dock.rectangle"},
        {"dock-spring-load", "arrow.down.app"},
        {"menubar-clock-24h", "clock"},
        {"menubar-clock-day-of-week", "calendar"},
        {"menubar-clock-date", "calendar.circle"},
        {"menubar-flash-separators", "timer"},
        {"menubar-show-bluetooth", "antenna.radiowaves.left.and.right"},
        {"menubar-show-sound", "speaker.wave.2"},
        {"menubar-show-wifi", "wifi"},
        {"menubar-show-nowplaying", "play.circle"},
        {"menubar-show-screen-mirroring", "rectangle.on.rectangle"},
        {"menubar-show-focus", "moon.circle"},
        {"menubar-show-user-switcher", "person.crop.circle"},
        {"slider-dock-size", "dock.rectangle"},
        {"slider-dock-magnification", "plus.magnifyingglass"},
        {"slider-finder-sidebar-size", "sidebar.left"},
        {"slider-mouse-tracking", "computermouse"},
        {"slider-trackpad-tracking", "rectangle.and.hand.point.up.left"},
    };
    return table;
}

const std::string& Icons::recipe(const std::string& id) {
    static const std::string fallback = "wand.and.stars";
    const auto& table = recipeMap();
    const auto found = table.find(id);
    return found == table.end() ? fallback : found->second;
}

const std::string& Icons::tweak(const std::string& id, TweakCategory category) {
    const auto& table = tweakMap();
    const auto found = table.find(id);
    return found == table.end() ? categoryFallback(category) : found->second;
}

const std::string& Icons::categoryFallback(TweakCategory category) {
    static const std::array<std::string, kCategoryFallbacks.size()> names = [] {
        std::array<std::string, kCategoryFallbacks.size()> built;
        for (std::size_t i = 0; i < built.size(); ++i) {
            built[i] = kCategoryFallbacks[i];
        }
        return built;
    }();
    const auto position = static_cast<std::size_t>(category);
    // A category added later without a fallback still gets a symbol rather than a crash.
    return position < names.size() ? names[position]
                                   : names[static_cast<std::size_t>(TweakCategory::system)];
}

}  // namespace velmora
