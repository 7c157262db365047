// "On now": everything that is on at this moment, each switchable back off where it is shown:
// the applied recipes as cards (numbered in catalog order), the keep-awake card while keep-awake
// is on, the power settings that are on, and under "Power-ups" the tweaks that are on by
// themselves. With nothing on, an empty state instead. Object names: "onNow.empty",
// "onNow.line", "onNow.grid", "onNow.powerCard", "onNow.power", "onNow.powerUps" (the label),
// "onNow.tweaks".
#pragma once

#include "ui/window/ListCard.hpp"
#include "ui/window/Page.hpp"

namespace velmora {

class BackButton;
class EmptyState;
class PowerCard;
class RecipeGrid;

class OnNowPage : public Page {
    Q_OBJECT

  public:
    explicit OnNowPage(MainWindow& window);

    void sync(const WindowView& view) override;

  private:
    BackButton* back_;
    EmptyState* empty_;
    QWidget* line_;
    RecipeGrid* grid_;
    PowerCard* powerCard_;
    PowerListCard* power_;
    QWidget* powerUps_;
    TweakListCard* tweaks_;
};

}  // namespace velmora
