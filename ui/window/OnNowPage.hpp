// "On now": everything that is on at this moment, each switchable back off where it is shown:
// the applied recipes as cards (numbered in catalog order), the keep-awake card while keep-awake
// is on, the power settings that are on, and under "Power-ups" the tweaks that are on by
// themselves. With nothing on, an empty state instead. Its parts' object names are in
// onNowNames.
#pragma once

#include "ui/window/ListCard.hpp"
#include "ui/window/Page.hpp"

namespace velmora {

// The object names of the page's parts, which tests and tools find them by (powerUps is the label
// of the tweaks).
namespace onNowNames {

inline constexpr const char* empty = "onNow.empty";
inline constexpr const char* line = "onNow.line";
inline constexpr const char* grid = "onNow.grid";
inline constexpr const char* powerCard = "onNow.powerCard";
inline constexpr const char* power = "onNow.power";
inline constexpr const char* powerUps = "onNow.powerUps";
inline constexpr const char* tweaks = "onNow.tweaks";

}  // namespace onNowNames

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
