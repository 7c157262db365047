// The start page: a short greeting, every recipe as a card (those recommended for the profile
// first) followed by the never-sleep card in the grid's next cell, and "Suggested for you", the
// tweaks recommended for the profile, when there are any. Object names: "home.grid",
// "home.suggested" (the heading) and "home.suggestedList".
#pragma once

#include "ui/window/ListCard.hpp"
#include "ui/window/Page.hpp"

namespace velmora {

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
    QWidget* suggestedHeading_;
    TweakListCard* suggestedList_;
};

}  // namespace velmora
