// The start page: a short greeting, every recipe as a card (those recommended for the profile
// first) followed by the never-sleep card in the grid's next cell, and "Suggested for you", the
// tweaks recommended for the profile, when there are any. Its parts' object names are in
// homeNames.
#pragma once

#include "ui/window/ListCard.hpp"
#include "ui/window/Page.hpp"

namespace velmora {

// The object names of the page's parts, which tests and tools find them by (suggested is the
// heading).
namespace homeNames {

inline constexpr const char* grid = "home.grid";
inline constexpr const char* suggested = "home.suggested";
inline constexpr const char* suggestedList = "home.suggestedList";

}  // namespace homeNames

class NeverSleepCard;
class RecipeGrid;

class HomePage : public Page {
    Q_OBJECT

  public:
    explicit HomePage(MainWindow& window);

    void sync(const WindowView& view) override;

    RecipeGrid& grid() const { return *grid_; }
    TweakListCard& suggested() const { return *suggestedList_; }

  private:
    RecipeGrid* grid_;
    NeverSleepCard* neverSleep_;
    QWidget* suggestedHeading_;
    TweakListCard* suggestedList_;
};

}  // namespace velmora
