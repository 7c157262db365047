// The page of one recipe: the back button, a header (its symbol on a tile tinted by the category
// of its first tweak, title, summary, star and apply pill), "N power-ups · all reversible" and the
// list of its tweaks, each switchable on its own. Items whose tweak the catalog lacks are left out
// of the count and the list. A recipe id the catalog does not hold shows an empty page. Object
// names: "recipe.tile", "recipe.title", "recipe.summary", "recipe.star", "recipe.pill",
// "recipe.count", "recipe.list".
#pragma once

#include <optional>
#include <string>

#include "ui/window/ListCard.hpp"
#include "ui/window/Page.hpp"

namespace velmora {

class ApplyPill;
class BackButton;
class StarButton;
class SymbolView;
class TextLabel;

class RecipePage : public Page {
    Q_OBJECT

  public:
    explicit RecipePage(MainWindow& window);

    void sync(const WindowView& view) override;

    // The recipe shown, none for an id the catalog does not hold.
    const std::optional<Recipe>& recipe() const { return recipe_; }

  private:
    // The recipe of the page's id as the catalog holds it now.
    std::optional<Recipe> current() const;

    MainWindow& window_;
    std::optional<Recipe> recipe_;
    BackButton* back_;
    QWidget* header_;
    SymbolView* tile_;
    TextLabel* title_;
    TextLabel* summary_;
    StarButton* star_;
    ApplyPill* pill_;
    TextLabel* count_;
    TweakListCard* list_;
};

}  // namespace velmora
