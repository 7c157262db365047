// The navigation rules: which of selection, query and back target each action changes.
#include "ui/window/WindowState.hpp"

namespace velmora {

namespace {

// The pages a back button may lead to.
bool isReturnPage(const NavItem& item) {
    using Kind = NavItem::Kind;
    return item.kind == Kind::home || item.kind == Kind::favorites || item.kind == Kind::browse ||
           item.kind == Kind::automations;
}

}  // namespace

bool WindowState::isSelected(const NavItem& item) const {
    return selection == item || (selection.isRecipe() && backTo == item);
}

void WindowState::chooseRow(const NavItem& item) {
    selection = item;
    query.clear();
}

void WindowState::openRecipe(const std::string& recipeID) {
    backTo = isReturnPage(selection) ? selection : NavItem::home();
    query.clear();
    selection = NavItem::recipe(recipeID);
}

void WindowState::pressCountPill() {
    // Unlike a recipe, On now is never reached back from Automations.
    backTo = isReturnPage(selection) && selection.kind != NavItem::Kind::automations
                 ? selection
                 : NavItem::home();
    selection = NavItem::active();
    query.clear();
}

void WindowState::showPowerTip() {
    selection = NavItem::browse();
    browseFilter = BrowseFilter::power();
    query.clear();
}

void WindowState::openEditor(std::optional<Setup> target) {
    editorTarget = std::move(target);
    showEditor = true;
}

}  // namespace velmora
