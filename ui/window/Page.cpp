// Which page shows for the window's state, and the page made for each kind. Pages not built yet
// are empty.
#include "ui/window/Page.hpp"

#include "ui/window/AutomationsPage.hpp"
#include "ui/window/WindowState.hpp"

namespace velmora {

namespace {

class EmptyPage : public Page {
  public:
    using Page::Page;
    void sync(const WindowView& /*view*/) override {}
};

}  // namespace

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

Page* makePage(PageKind kind, MainWindow& window) {
    if (kind == PageKind::automations) {
        return new AutomationsPage(window);
    }
    return new EmptyPage;
}

}  // namespace velmora
