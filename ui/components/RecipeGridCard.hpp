// The card of one recipe in a grid: its tinted symbol tile, a star and a chevron, its title and
// summary on one line each, the number of power-ups with an applied dot, and an ApplyPill. A
// click on the card (outside the star and the pill) calls `onOpen`; the star toggles the recipe
// as a favourite; the pill re-reads the model at the click and applies or reverts. Under the
// pointer the card lifts (a larger shadow, an accent outline, a darker chevron) over 0.14 seconds
// and shows the pointing hand. Put it on a CardCanvas for its shadow. Object names:
// recipeCardNames.
#pragma once

#include <functional>
#include <string_view>

#include "kit/Tweak.hpp"
#include "ui/look/Symbols.hpp"
#include "ui/widgets/Card.hpp"
#include "ui/widgets/Fade.hpp"
#include "ui/widgets/PaintedButton.hpp"

namespace velmora {

// The object names of the card of the recipe `id` and of its controls, which tests and tools find
// them by: "recipeCard.<id>", "star.<id>", "pill.<id>".
namespace recipeCardNames {

QString card(std::string_view id);
QString star(std::string_view id);
QString pill(std::string_view id);

}  // namespace recipeCardNames

class AppModel;
class ApplyPill;
class ContentLayer;
class SyncCache;
class StarButton;
class SurfaceMiddle;

class RecipeGridCard : public PaintedButton, public ShadowCaster {
    Q_OBJECT

  public:
    RecipeGridCard(AppModel& model, Recipe recipe, int index, std::function<void()> onOpen,
                   QWidget* parent = nullptr);

    const Recipe& recipe() const { return recipe_; }
    // Its position in the list it belongs to, which picks its tile's tint.
    int index() const { return index_; }
    // The footer's count of the recipe's items: "3 power-ups".
    QString countText() const;
    StarButton& star() const { return *star_; }
    ApplyPill& pill() const { return *pill_; }

    // Shows the star and the pill as of `now`. The card does not follow the model itself: the
    // grid it is in calls this at every sync of the page on screen.
    void follow(const SyncCache& now);

    CardShadow cardShadow() const override;
    bool shadowPassing() const override { return hover_.isRunning(); }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    // The tile, symbols, texts and footer, painted in a layer above the surface's middle.
    void paintContents(QPainter& painter) const;
    SymbolLook tileSymbol() const;
    SymbolLook chevronSymbol() const;

    void placeChildren();

    AppModel& model_;
    Recipe recipe_;
    int index_;
    StarButton* star_;
    ApplyPill* pill_;
    SurfaceMiddle* middle_;
    ContentLayer* contents_;
    Fade hover_;
    CardShadow lastShadow_;
};

}  // namespace velmora
