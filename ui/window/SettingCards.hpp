// The cards of the two machine-wide settings that are not catalog tweaks: keeping the Mac awake
// with its lid closed (as a grid card beside the recipes, and as a full-width card with a switch)
// and the system's dark appearance. Each follows the model's sync itself; every control asks the
// model to flip the setting from the state the model holds at the click.
// Object names: "neverSleepCard", "powerCard", "displayCard"; their star "star.lid-close", pill
// "pill.lid-close", switches "switch.lid-close" and "switch.dark-mode".
#pragma once

#include "ui/widgets/Card.hpp"

namespace velmora {

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

    StarButton& star() const { return *star_; }
    ApplyPill& pill() const { return *pill_; }
    // "On" or "Off".
    QString stateText() const;

  private:
    void show(const SyncCache& now);

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

    StarButton& star() const { return *star_; }
    Switch& toggle() const { return *toggle_; }

  private:
    StarButton* star_;
    Switch* toggle_;
};

// Dark Mode with its switch.
class DisplayCard : public Card {
    Q_OBJECT

  public:
    explicit DisplayCard(AppModel& model, QWidget* parent = nullptr);

    Switch& toggle() const { return *toggle_; }

  private:
    Switch* toggle_;
};

}  // namespace velmora
