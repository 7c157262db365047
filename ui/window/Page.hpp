// A page of the main window's content column, and what each sync hands to it.
//
// The router makes a page the first time it is shown (makePage in Page.cpp), names it
// "page.<name>" and keeps it while others are shown. While it is the page on screen it is given
// every sync of the window; hidden, it is given none, and it is synced again before it shows.
// A page is a CardCanvas, so cards placed directly in its layout cast their shadows on it.
//
//     class HomePage : public Page {
//         void sync(const WindowView& view) override {
//             grid_->show(view.derived.orderedRecipes, ...);   // keep rows while the ids stay
//         }
//     };
#pragma once

#include <string_view>

#include "ui/widgets/Card.hpp"

namespace velmora {

class MainWindow;
class SyncCache;
struct DerivedValues;
struct WindowState;

// One sync as the window's parts see it: the sync's cache of engine reads, the window's state and
// the values derived from both, all as of this sync.
struct WindowView {
    MainWindow& window;
    const SyncCache& now;
    const WindowState& state;
    const DerivedValues& derived;
};

enum class PageKind { home, favorites, browse, active, automations, recipe, search };

class Page : public CardCanvas {
    Q_OBJECT

  public:
    using CardCanvas::CardCanvas;

    // Shows the state of this sync; keep widgets whose identity did not change.
    virtual void sync(const WindowView& view) = 0;
    // The page is coming on screen, from another page or from the search results. Runs before
    // the sync that brings it up to date, which runs just before it shows.
    virtual void appear(const WindowView& /*view*/) {}
};

// The page the router shows for `state`: the search results while the query holds any text,
// else the page of the selection.
PageKind pageFor(const WindowState& state);
// "home", "favorites", "browse", "active", "automations", "recipe", "search".
std::string_view pageName(PageKind kind);
// A new page of `kind` for `window`.
Page* makePage(PageKind kind, MainWindow& window);

}  // namespace velmora
