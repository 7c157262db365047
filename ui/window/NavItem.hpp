// Which page of the main window is meant: the five fixed pages, or the page of one recipe.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

struct NavItem {
    enum class Kind { home, favorites, browse, active, automations, recipe };

    Kind kind = Kind::home;
    std::string recipeID;  // empty unless kind is recipe

    static NavItem home() { return {Kind::home, {}}; }
    static NavItem favorites() { return {Kind::favorites, {}}; }
    static NavItem browse() { return {Kind::browse, {}}; }
    static NavItem active() { return {Kind::active, {}}; }
    static NavItem automations() { return {Kind::automations, {}}; }
    static NavItem recipe(std::string id) { return {Kind::recipe, std::move(id)}; }

    bool isRecipe() const { return kind == Kind::recipe; }
    // What the sidebar row and the back button say: "Home", "Favorites", "Browse all", "On now",
    // "Automations", "Recipe".
    std::string_view title() const;
    // The sidebar row's symbol; empty for a recipe, which has no row.
    std::string_view symbol() const;
    // The item in object names: "home", "favorites", "browse", "active", "automations", "recipe".
    std::string_view name() const;

    friend bool operator==(const NavItem&, const NavItem&) = default;
};

}  // namespace velmora
