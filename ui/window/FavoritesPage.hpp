// The page of what the user pinned, without a title: the favourite recipes as cards, the
// never-sleep card (at most 360 wide) when the keep-awake item is pinned, the pinned power
// settings and the pinned tweaks, in that order whatever the order of pinning; with nothing
// pinned, an empty state that says how to pin things. Its parts' object names are in
// favoritesNames.
#pragma once

#include "ui/window/ListCard.hpp"
#include "ui/window/Page.hpp"

namespace velmora {

// The object names of the page's parts, which tests and tools find them by.
namespace favoritesNames {

inline constexpr const char* grid = "favorites.grid";
inline constexpr const char* neverSleep = "favorites.neverSleep";
inline constexpr const char* power = "favorites.power";
inline constexpr const char* tweaks = "favorites.tweaks";
inline constexpr const char* empty = "favorites.empty";

}  // namespace favoritesNames

class EmptyState;
class NeverSleepCard;
class RecipeGrid;

class FavoritesPage : public Page {
    Q_OBJECT

  public:
    static constexpr int neverSleepWidth = 360;

    explicit FavoritesPage(MainWindow& window);

    void sync(const WindowView& view) override;

  private:
    RecipeGrid* grid_;
    NeverSleepCard* neverSleep_;
    PowerListCard* power_;
    TweakListCard* tweaks_;
    EmptyState* empty_;
};

}  // namespace velmora
