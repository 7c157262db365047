// The recipe cards of a page in two equal columns, 11 points apart both ways: each card tinted by
// its position in the list shown and opening its recipe's page, optionally followed by one more
// card (home's never-sleep card). The cards are kept while the recipe ids stay the same (each
// shown again as of the sync's cache) and rebuilt when they change, never while the user holds
// a control.
// Object names of the cards: recipeCardNames::card.
//
//     auto* grid = new RecipeGrid(window);
//     grid->setTrailing(new NeverSleepCard(window.model));
//     grid->show(view.derived.orderedRecipes);             // at every sync
#pragma once

#include <QGridLayout>
#include <string>
#include <vector>

#include "kit/Tweak.hpp"
#include "ui/widgets/Card.hpp"

namespace velmora {

class MainWindow;
class RecipeGridCard;

class RecipeGrid : public CardCanvas {
    Q_OBJECT

  public:
    static constexpr int spacing = 11;
    static constexpr int columns = 2;

    explicit RecipeGrid(MainWindow& window, QWidget* parent = nullptr);

    // A card placed after the recipes, in the next free cell; the grid takes it.
    void setTrailing(QWidget* card);
    // Returns whether the cards were rebuilt.
    bool show(const std::vector<Recipe>& recipes);
    // Shows `recipes`, or hides the grid when there are none.
    void showOrHide(const std::vector<Recipe>& recipes);

    const std::vector<RecipeGridCard*>& cards() const { return cards_; }

  private:
    // Puts the filler beside a lone first card, or takes it away.
    void placeFiller();

    MainWindow& window_;
    QGridLayout* grid_;
    QWidget* trailing_ = nullptr;
    // Fills the second column while only one card shows, so that card keeps a column's width
    // instead of taking the spacing a grid gives up for an empty column.
    QWidget* filler_;
    std::vector<std::string> ids_;
    std::vector<RecipeGridCard*> cards_;
    bool shown_ = false;
};

}  // namespace velmora
