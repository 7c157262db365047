// Which page shows for the window's state, and the page made for each kind.
#include "ui/window/Page.hpp"

#include "ui/widgets/Accessibility.hpp"
#include "ui/widgets/Text.hpp"
#include "ui/window/AutomationsPage.hpp"
#include "ui/window/BrowsePage.hpp"
#include "ui/window/FavoritesPage.hpp"
#include "ui/window/HomePage.hpp"
#include "ui/window/OnNowPage.hpp"
#include "ui/window/RecipePage.hpp"
#include "ui/window/SearchPage.hpp"
#include "ui/window/WindowState.hpp"

namespace velmora {

PageKind pageFor(const WindowState& state) {
    if (state.showsSearch()) {
        return PageKind::search;
    }
    switch (state.selection.kind) {
        case NavItem::Kind::home:
            return PageKind::home;
        case NavItem::Kind::favorites:
            return PageKind::favorites;
        case NavItem::Kind::browse:
            return PageKind::browse;
        case NavItem::Kind::active:
            return PageKind::active;
        case NavItem::Kind::automations:
            return PageKind::automations;
        case NavItem::Kind::recipe:
            return PageKind::recipe;
    }
    return PageKind::home;
}

std::string_view pageName(PageKind kind) {
    switch (kind) {
        case PageKind::home:
            return "home";
        case PageKind::favorites:
            return "favorites";
        case PageKind::browse:
            return "browse";
        case PageKind::active:
            return "active";
        case PageKind::automations:
            return "automations";
        case PageKind::recipe:
            return "recipe";
        case PageKind::search:
            return "search";
    }
    return {};
}

namespace {

Page* newPage(PageKind kind, MainWindow& window) {
    switch (kind) {
        case PageKind::home:
            return new HomePage(window);
        case PageKind::favorites:
            return new FavoritesPage(window);
        case PageKind::browse:
            return new BrowsePage(window);
        case PageKind::active:
            return new OnNowPage(window);
        case PageKind::automations:
            return new AutomationsPage(window);
        case PageKind::recipe:
            return new RecipePage(window);
        case PageKind::search:
            return new SearchPage(window);
    }
    return new HomePage(window);
}

// What a screen reader calls the page: its sidebar tab's title, or the field its results answer.
QString spokenTitle(PageKind kind) {
    switch (kind) {
        case PageKind::home:
            return toQString(NavItem::home().title());
        case PageKind::favorites:
            return toQString(NavItem::favorites().title());
        case PageKind::browse:
            return toQString(NavItem::browse().title());
        case PageKind::active:
            return toQString(NavItem::active().title());
        case PageKind::automations:
            return toQString(NavItem::automations().title());
        case PageKind::recipe:
            return toQString(NavItem::recipe({}).title());
        case PageKind::search:
            return QStringLiteral("Search");
    }
    return {};
}

}  // namespace

Page* makePage(PageKind kind, MainWindow& window) {
    Page* page = newPage(kind, window);
    // A named part of the window, so a reader that follows the page as it changes can say which
    // it is, a page that shows no heading (Favorites) included.
    accessibility::describe(*page, QAccessible::Pane, spokenTitle(kind));
    return page;
}

}  // namespace velmora
