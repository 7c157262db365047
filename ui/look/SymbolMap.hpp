// Our own stand-in for SF Symbols: each symbol name the interface uses, mapped to a Phosphor icon.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

#include "ui/look/Fonts.hpp"

namespace velmora {

// Phosphor's cuts of an icon that the program carries: the regular and bold outlines, and the
// filled one.
enum class SymbolWeight { regular, bold, fill };

struct PhosphorIcon {
    std::string name;  // Phosphor's own icon name, e.g. "lightning"
    SymbolWeight weight = SymbolWeight::regular;

    // The icon drawn beside text of `fontWeight`: an outline takes Phosphor's bold cut for
    // semibold and bold text, as a symbol's strokes thicken with its font's weight; a filled icon
    // has no weights and stays as it is.
    PhosphorIcon at(FontWeight fontWeight) const;

    // Resource path of the icon's SVG, e.g. ":/velmora/symbols/fill/lightning-fill.svg".
    std::string resourcePath() const;
};

class SymbolMap {
  public:
    // Every symbol name the interface draws, to the Phosphor icon standing in for it. Names ending
    // in ".fill", and table entries naming a Phosphor "-fill" icon, take Phosphor's fill weight;
    // all others its regular weight.
    static const std::unordered_map<std::string, PhosphorIcon>& all();

    // The icon for `symbol`, or nullptr when the name is not in the table.
    static const PhosphorIcon* find(std::string_view symbol);

    // Drawn for a name that is not in the table, so an unknown name never fails.
    static const PhosphorIcon& fallback();
};

}  // namespace velmora
