// The main window's own state (what is selected, typed, remembered and open) and the navigation
// rules that change it. None of it is stored: it lives as long as the window.
#pragma once

#include <QDateTime>
#include <optional>
#include <string>
#include <vector>

#include "kit/AutomationRule.hpp"
#include "kit/Setup.hpp"
#include "ui/window/BrowseFilter.hpp"
#include "ui/window/NavItem.hpp"

namespace velmora {

// An application the new-automation form offers.
struct AppPick {
    std::string id;  // bundle identifier
    std::string name;

    friend bool operator==(const AppPick&, const AppPick&) = default;
};

struct WindowState {
    static constexpr int defaultRuleThreshold = 20;

    // The page shown while the query is empty.
    NavItem selection = NavItem::home();
    // The search field's text as typed; any text at all, spaces too, shows the search page.
    std::string query;
    bool showAdvanced = false;
    bool showOnboarding = false;
    // Where the back buttons of the recipe and On-now pages lead: home, favorites, browse or
    // automations, never a recipe or On now.
    NavItem backTo = NavItem::home();
    BrowseFilter browseFilter;
    bool showEditor = false;
    // The scene the editor opens with; none for a new scene.
    std::optional<Setup> editorTarget;
    // The new-automation form.
    AutomationRule::Kind newRuleKind = AutomationRule::Kind::onBattery;
    std::optional<std::string> newRuleSetupID;
    int newRuleThreshold = defaultRuleThreshold;
    QDateTime newRuleTime;  // the window's creation time until the user picks one
    std::string newRuleAppBundle;
    std::string newRuleAppName;
    std::vector<AppPick> installedAppList;

    // Whether the search page replaces the selected page.
    bool showsSearch() const { return !query.empty(); }
    // Whether the sidebar row of `item` is highlighted: its own page, or the page a recipe was
    // opened from.
    bool isSelected(const NavItem& item) const;

    // A sidebar row: its page, the search cleared, the back target kept.
    void chooseRow(const NavItem& item);
    // A recipe card: the recipe's page, remembering the page to come back to (home when opened
    // from another recipe or from On now).
    void openRecipe(const std::string& recipeID);
    // The count pill: On now, coming back to the page it was pressed on when that is home,
    // favorites or browse, else home.
    void pressCountPill();
    // The suggestion's keep-awake tip: Browse filtered to power settings, back target kept.
    void showPowerTip();
    // A back button leading to `target`.
    void goBack(const NavItem& target) { selection = target; }
    // The scenes list's "+" (no scene) and "Edit…" (that scene).
    void openEditor(std::optional<Setup> target);
};

}  // namespace velmora
