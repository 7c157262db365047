// "Browse all": everything the catalog lets the user switch, behind filter chips ("All",
// "Power", "Display", then one per category in catalog order) and the "Advanced" switch, which
// shows or hides advanced items. In "All" every section shows under its label; with one chip
// chosen only that section shows, without its label. A category whose items are all hidden shows
// nothing, while its chip stays. The chips scroll sideways and keep their offset across syncs.
// Object names: "browse.advanced", "browse.chips" (the strip), chips "chip.All", "chip.Power",
// "chip.Display" and "chip.category.<raw value>", "browse.powerLabel", "browse.powerCard",
// "browse.powerList", "browse.displayLabel", "browse.displayCard", and per category
// "browse.label.<raw value>", "browse.tweaks.<raw value>", "browse.sliders.<raw value>".
#pragma once

#include <string>
#include <vector>

#include "ui/window/ListCard.hpp"
#include "ui/window/Page.hpp"

namespace velmora {

class DisplayCard;
class FilterChip;
class LabelledSwitch;
class PowerCard;
class WheelStrip;

class BrowsePage : public Page {
    Q_OBJECT

  public:
    explicit BrowsePage(MainWindow& window);

    void sync(const WindowView& view) override;

    LabelledSwitch& advanced() const { return *advanced_; }
    WheelStrip& chipStrip() const { return *strip_; }
    // In the strip's order.
    std::vector<FilterChip*> chips() const;

  private:
    struct Section {
        TweakCategory category;
        std::string title;
        QWidget* label;
        TweakListCard* tweaks;
        SliderListCard* sliders;
    };

    FilterChip* makeChip(const QString& label, const QString& name);
    // The chips and sections of `categories`, replacing those of earlier ones.
    void makeCategories(const std::vector<TweakCategory>& categories);

    MainWindow& window_;
    QVBoxLayout* column_;
    LabelledSwitch* advanced_;
    WheelStrip* strip_;
    std::vector<FilterChip*> fixedChips_;
    std::vector<FilterChip*> categoryChips_;
    QWidget* powerLabel_;
    PowerCard* powerCard_;
    PowerListCard* powerList_;
    QWidget* displayLabel_;
    DisplayCard* displayCard_;
    std::vector<TweakCategory> categories_;
    std::vector<Section> sections_;
};

}  // namespace velmora
