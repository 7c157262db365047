// The symbol table: interface symbol names to Phosphor icons, chosen by look rather than by name.
//
// The build reads the entries below (one Entry of symbol name and Phosphor name per line) to decide
// which Phosphor SVGs it compiles in, so keep that shape when adding a line.
#include "ui/look/SymbolMap.hpp"

#include <array>

namespace velmora {

namespace {

struct Entry {
    const char* symbol;
    const char* phosphor;
};

constexpr std::string_view kFillSuffix = ".fill";
constexpr std::string_view kPhosphorFillSuffix = "-fill";

// Drawn for any name missing from the table: a dashed circle reads as "no icon" without alarming.
constexpr Entry kFallbackEntry{"", "circle-dashed"};

// clang-format off
constexpr std::array kEntries{
    Entry{"a.square", "text-t"},
    Entry{"airplane", "airplane"},
    Entry{"antenna.radiowaves.left.and.right", "broadcast"},
    Entry{"app.badge", "notification"},
    Entry{"app.fill", "app-window"},
    Entry{"arrow.counterclockwise", "arrow-counter-clockwise"},
    Entry{"arrow.down.app", "arrow-square-down"},
    Entry{"arrow.down.circle", "arrow-circle-down"},
    Entry{"arrow.down.circle.fill", "arrow-circle-down"},
    Entry{"arrow.left.arrow.right", "arrows-left-right"},
    Entry{"arrow.triangle.2.circlepath", "arrows-clockwise"},
    Entry{"arrow.up.arrow.down", "arrows-down-up"},
    Entry{"arrow.up.circle", "arrow-circle-up"},
    Entry{"arrow.up.left.and.arrow.down.right", "arrows-out-simple"},
    Entry{"arrow.uturn.backward", "arrow-u-up-left"},
    Entry{"battery.100", "battery-full"},
    Entry{"battery.25", "battery-low"},
    Entry{"battery.50", "battery-medium"},
    Entry{"bolt.fill", "lightning"},
    Entry{"bolt.slash", "lightning-slash"},
    Entry{"briefcase", "briefcase"},
    Entry{"briefcase.fill", "briefcase"},
    Entry{"calendar", "calendar-blank"},
    Entry{"calendar.circle", "calendar-dot"},
    Entry{"camera", "camera"},
    Entry{"camera.viewfinder", "aperture"},
    Entry{"checkmark", "check"},
    Entry{"checkmark.circle.fill", "check-circle"},
    Entry{"chevron.down", "caret-down"},
    Entry{"chevron.left", "caret-left"},
    Entry{"chevron.left.forwardslash.chevron.right", "code"},
    Entry{"chevron.right", "caret-right"},
    Entry{"chevron.up.chevron.down", "caret-up-down"},
    Entry{"circle", "circle"},
    Entry{"circle.inset.filled", "radio-button-fill"},
    Entry{"circle.lefthalf.filled", "circle-half"},
    Entry{"circle.righthalf.filled", "circle-half-tilt"},
    Entry{"clock", "clock"},
    Entry{"clock.arrow.2.circlepath", "clock-clockwise"},
    Entry{"clock.arrow.circlepath", "clock-counter-clockwise"},
    Entry{"clock.fill", "clock"},
    Entry{"computermouse", "mouse-simple"},
    Entry{"cup.and.saucer.fill", "coffee"},
    Entry{"curlybraces", "brackets-curly"},
    Entry{"cursorarrow.click", "cursor-click"},
    Entry{"desktopcomputer", "desktop"},
    Entry{"display", "monitor"},
    Entry{"display.trianglebadge.exclamationmark", "plugs"},
    Entry{"doc.plaintext", "file-txt"},
    Entry{"doc.text", "file-text"},
    Entry{"dock.rectangle", "square-half-bottom"},
    Entry{"exclamationmark.bubble", "chat-centered-dots"},
    Entry{"exclamationmark.shield", "shield-warning"},
    Entry{"exclamationmark.triangle", "warning"},
    Entry{"externaldrive", "hard-drive"},
    Entry{"externaldrive.badge.plus", "hard-drives"},
    Entry{"externaldrive.badge.xmark", "network-x"},
    Entry{"externaldrive.fill", "hard-drive"},
    Entry{"eye", "eye"},
    Entry{"eye.circle", "eye"},
    Entry{"eye.slash", "eye-slash"},
    Entry{"figure.walk.motion", "person-simple-walk"},
    Entry{"folder", "folder"},
    Entry{"folder.fill", "folder"},
    Entry{"function", "function"},
    Entry{"gamecontroller.fill", "game-controller"},
    Entry{"gearshape", "gear"},
    Entry{"graduationcap", "graduation-cap"},
    Entry{"hammer", "hammer"},
    Entry{"hand.draw", "hand-swipe-right"},
    Entry{"hand.raised.slash", "hand-palm"},
    Entry{"hand.tap", "hand-tap"},
    Entry{"hare", "rabbit"},
    Entry{"hare.fill", "rabbit"},
    Entry{"house", "house"},
    Entry{"icloud.slash", "cloud-slash"},
    Entry{"info.circle", "info"},
    Entry{"keyboard", "keyboard"},
    Entry{"laptopcomputer", "laptop"},
    Entry{"leaf.fill", "leaf"},
    Entry{"link", "link"},
    Entry{"list.bullet", "list-bullets"},
    Entry{"list.bullet.rectangle", "list-dashes"},
    Entry{"lock", "lock"},
    Entry{"lock.shield", "shield-check"},
    Entry{"macwindow", "app-window"},
    Entry{"macwindow.badge.plus", "browsers"},
    Entry{"magnifyingglass", "magnifying-glass"},
    Entry{"menubar.rectangle", "browser"},
    Entry{"mic.slash", "microphone-slash"},
    Entry{"minus.rectangle", "minus-square"},
    Entry{"moon", "moon"},
    Entry{"moon.circle", "moon"},
    Entry{"moon.fill", "moon"},
    Entry{"moon.zzz", "moon-stars"},
    Entry{"music.note", "music-note"},
    Entry{"opticaldiscdrive", "disc"},
    Entry{"paintbrush.pointed", "paint-brush"},
    Entry{"person.crop.circle", "user-circle"},
    Entry{"person.fill", "user"},
    Entry{"photo", "image"},
    Entry{"photo.stack", "images"},
    Entry{"pin", "push-pin"},
    Entry{"play.circle", "play-circle"},
    Entry{"plus", "plus"},
    Entry{"plus.magnifyingglass", "magnifying-glass-plus"},
    Entry{"powerplug", "plug"},
    Entry{"powerplug.fill", "plug"},
    Entry{"powersleep", "power"},
    Entry{"printer", "printer"},
    Entry{"quote.opening", "quotes"},
    Entry{"rectangle.3.group", "layout"},
    Entry{"rectangle.and.hand.point.up.left", "hand-pointing"},
    Entry{"rectangle.center.inset.filled", "picture-in-picture"},
    Entry{"rectangle.on.rectangle", "screencast"},
    Entry{"rectangle.slash", "selection-slash"},
    Entry{"rectangle.split.3x1", "tabs"},
    Entry{"safari", "compass"},
    Entry{"scroll", "scroll"},
    Entry{"sidebar.left", "sidebar"},
    Entry{"sparkles", "sparkle"},
    Entry{"speaker.wave.2", "speaker-high"},
    Entry{"speedometer", "speedometer"},
    Entry{"square.and.arrow.down", "tray-arrow-down"},
    Entry{"square.grid.2x2", "grid-four"},
    Entry{"square.grid.3x3", "grid-nine"},
    Entry{"square.on.square", "copy"},
    Entry{"square.stack.3d.up", "stack"},
    Entry{"square.stack.3d.up.fill", "stack"},
    Entry{"star", "star"},
    Entry{"star.fill", "star"},
    Entry{"sun.max.fill", "sun"},
    Entry{"sunrise.fill", "sun-horizon"},
    Entry{"text.alignleft", "text-align-left"},
    Entry{"textformat", "text-aa"},
    Entry{"textformat.abc", "text-a-underline"},
    Entry{"timer", "timer"},
    Entry{"trash", "trash"},
    Entry{"wand.and.rays", "magic-wand"},
    Entry{"wand.and.stars", "magic-wand"},
    Entry{"wifi", "wifi-high"},
    Entry{"wifi.exclamationmark", "wifi-x"},
    Entry{"wifi.slash", "wifi-slash"},
    Entry{"wind", "wind"},
};
// clang-format on

// A ring with a filled centre, say, is Phosphor's fill cut of an icon whose symbol name does not
// end in ".fill": the table names that cut with Phosphor's own "-fill" suffix.
PhosphorIcon iconOf(const Entry& entry) {
    const std::string_view phosphor = entry.phosphor;
    if (phosphor.ends_with(kPhosphorFillSuffix)) {
        return {std::string(phosphor.substr(0, phosphor.size() - kPhosphorFillSuffix.size())),
                SymbolWeight::fill};
    }
    return {std::string(phosphor), std::string_view(entry.symbol).ends_with(kFillSuffix)
                                       ? SymbolWeight::fill
                                       : SymbolWeight::regular};
}

}  // namespace

PhosphorIcon PhosphorIcon::at(FontWeight fontWeight) const {
    if (weight == SymbolWeight::fill) {
        return *this;
    }
    const bool heavy = fontWeight == FontWeight::semibold || fontWeight == FontWeight::bold;
    return {name, heavy ? SymbolWeight::bold : SymbolWeight::regular};
}

std::string PhosphorIcon::resourcePath() const {
    // Phosphor's own layout: regular/<name>.svg, bold/<name>-bold.svg and fill/<name>-fill.svg.
    switch (weight) {
        case SymbolWeight::fill:
            return ":/velmora/symbols/fill/" + name + "-fill.svg";
        case SymbolWeight::bold:
            return ":/velmora/symbols/bold/" + name + "-bold.svg";
        case SymbolWeight::regular:
            break;
    }
    return ":/velmora/symbols/regular/" + name + ".svg";
}

const std::unordered_map<std::string, PhosphorIcon>& SymbolMap::all() {
    static const std::unordered_map<std::string, PhosphorIcon> table = [] {
        std::unordered_map<std::string, PhosphorIcon> built;
        built.reserve(kEntries.size());
        for (const Entry& entry : kEntries) {
            built.emplace(entry.symbol, iconOf(entry));
        }
        return built;
    }();
    return table;
}

const PhosphorIcon* SymbolMap::find(std::string_view symbol) {
    const auto& table = all();
    const auto found = table.find(std::string(symbol));
    return found == table.end() ? nullptr : &found->second;
}

const PhosphorIcon& SymbolMap::fallback() {
    static const PhosphorIcon icon{kFallbackEntry.phosphor, SymbolWeight::regular};
    return icon;
}

}  // namespace velmora
