// The fixed texts and symbols of each page item.
#include "ui/window/NavItem.hpp"

namespace velmora {

std::string_view NavItem::title() const {
    switch (kind) {
        case Kind::home:
            return "Home";
        case Kind::favorites:
            return "Favorites";
        case Kind::browse:
            return "Browse all";
        case Kind::active:
            return "On now";
        case Kind::automations:
            return "Automations";
        case Kind::recipe:
            return "Recipe";
    }
    return {};
}

std::string_view NavItem::symbol() const {
    switch (kind) {
        case Kind::home:
            return "house";
        case Kind::favorites:
            return "star";
        case Kind::browse:
            return "square.grid.2x2";
        case Kind::active:
            return "bolt.fill";
        case Kind::automations:
            return "wand.and.rays";
        case Kind::recipe:
            return {};
    }
    return {};
}

std::string_view NavItem::name() const {
    switch (kind) {
        case Kind::home:
            return "home";
        case Kind::favorites:
            return "favorites";
        case Kind::browse:
            return "browse";
        case Kind::active:
            return "active";
        case Kind::automations:
            return "automations";
        case Kind::recipe:
            return "recipe";
    }
    return {};
}

}  // namespace velmora
