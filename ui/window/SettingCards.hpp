// The cards of the two machine-wide settings that are not catalog tweaks: keeping the Mac awake
// with its lid closed (as a grid card beside the recipes, and as a full-width card with a switch)
// and the system's dark appearance. The page showing a card hands it each sync (follow()); every
// control asks the model to flip the setting from the state the model holds at the click.
// Their object names are in settingNames.
#pragma once

#include "ui/widgets/Card.hpp"

namespace velmora {

// The object names of the cards and their controls, which tests and tools find them by.
namespace settingNames {

inline constexpr const char* neverSleepCard = "neverSleepCard";
inline constexpr const char* powerCard = "powerCard";
inline constexpr const char* displayCard = "displayCard";
// The keep-awake star (on both of its cards), the never-sleep card's pill, the power card's switch.
inline constexpr const char* lidStar = "star.lid-close";
inline constexpr const char* lidPill = "pill.lid-close";
inline constexpr const char* lidSwitch = "switch.lid-close";
inline constexpr const char* darkSwitch = "switch.dark-mode";

}  // namespace settingNames

class AppModel;
class ApplyPill;
class SyncCache;
class StarButton;
class Switch;
class TextLabel;

// Sized to sit in the recipe grid: at least 116 high, star, "ADMIN" chip, On/Off and a pill.
class NeverSleepCard : public Card {
    Q_OBJECT

  public:
    static constexpr int minimumCardHeight = 116;

    explicit NeverSleepCard(AppModel& model, QWidget* parent = nullptr);

    // Shows the model's state as of this sync.
    void follow(const SyncCache& now);

    StarButton& star() const { return *star_; }
    ApplyPill& pill() const { return *pill_; }
    // "On" or "Off".
    QString stateText() const;

  private:
    AppModel& model_;
    StarButton* star_;
    ApplyPill* pill_;
    QWidget* dot_;
    TextLabel* state_;
};

// The same setting as a full-width list card with a star and a switch.
class PowerCard : public Card {
    Q_OBJECT

  public:
    explicit PowerCard(AppModel& model, QWidget* parent = nullptr);

    // Shows the model's state as of this sync.
    void follow(const SyncCache& now);

    StarButton& star() const { return *star_; }
    Switch& toggle() const { return *toggle_; }

  private:
    AppModel& model_;
    StarButton* star_;
    Switch* toggle_;
};

// Dark Mode with its switch.
class DisplayCard : public Card {
    Q_OBJECT

  public:
    explicit DisplayCard(AppModel& model, QWidget* parent = nullptr);

    // Shows the model's state as of this sync.
    void follow(const SyncCache& now);

    Switch& toggle() const { return *toggle_; }

  private:
    AppModel& model_;
    Switch* toggle_;
};

}  // namespace velmora
