// Our own stand-in for SF Symbols: each symbol name the interface uses, mapped to a Phosphor icon.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

namespace velmora {

enum class SymbolWeight { regular, fill };

struct PhosphorIcon {
    std::string name;  // Phosphor's own icon name, e.g. "lightning"
    SymbolWeight weight = SymbolWeight::regular;

    // Resource path of the icon's SVG, e.g. ":/velmora/symbols/fill/lightning-fill.svg".
    std::string resourcePath() const;
};

class SymbolMap {
  public:
    // Every symbol name the interface draws, to the Phosphor icon standing in for it. Names ending
    // in ".fill" take Phosphor's fill weight, all others its regular weight.
    static const std::unordered_map<std::string, PhosphorIcon>& all();

    // The icon for `symbol`, or nullptr when the name is not in the table.
    static const PhosphorIcon* find(std::string_view symbol);

    // Drawn for a name that is not in the table, so an unknown name never fails.
    static const PhosphorIcon& fallback();
};

}  // namespace velmora
