// "Browse all": everything the catalog lets the user switch, behind filter chips ("All",
// "Power", "Display", then one per category in catalog order) and the "Advanced" switch, which
// shows or hides advanced items. In "All" every section shows under its label; with one chip
// chosen only that section shows, without its label. A category whose items are all hidden shows
// nothing, while its chip stays. The chips scroll sideways and keep their offset across syncs.
// The category lists can hold hundreds of rows: those past the first screenful are made from the
// event loop once the page shows (RowBuilder).
#pragma once

#include <string>
#include <vector>

#include "ui/window/BrowseFilter.hpp"
#include "ui/window/ListCard.hpp"
#include "ui/window/Page.hpp"

namespace velmora {

// The object names of the page's parts, which tests and tools find them by.
namespace browseNames {

inline constexpr const char* advanced = "browse.advanced";
inline constexpr const char* chips = "browse.chips";
inline constexpr const char* powerLabel = "browse.powerLabel";
inline constexpr const char* powerCard = "browse.powerCard";
inline constexpr const char* powerList = "browse.powerList";
inline constexpr const char* displayLabel = "browse.displayLabel";
inline constexpr const char* displayCard = "browse.displayCard";
// "chip.All", "chip.Power", "chip.Display", "chip.category.<raw value>".
QString chip(const BrowseFilter& filter);
// "browse.label.<raw value>", "browse.tweaks.<raw value>", "browse.sliders.<raw value>".
QString label(TweakCategory category);
QString tweaks(TweakCategory category);
QString sliders(TweakCategory category);

}  // namespace browseNames

class DisplayCard;
class FilterChip;
class LabelledSwitch;
class PowerCard;
class RowBuilder;
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
        QWidget* label;
        TweakListCard* tweaks;
        SliderListCard* sliders;
    };
    // A chip and the filter it chooses.
    struct Chip {
        BrowseFilter filter;
        FilterChip* chip;
    };

    Chip makeChip(const QString& label, const BrowseFilter& filter);
    // The chips and sections of `categories`, replacing those of earlier ones.
    void makeCategories(const std::vector<TweakCategory>& categories);

    MainWindow& window_;
    QVBoxLayout* column_;
    // Makes the category rows past the first screenful once the page is on screen.
    RowBuilder* builder_;
    LabelledSwitch* advanced_;
    WheelStrip* strip_;
    std::vector<Chip> fixedChips_;
    std::vector<Chip> categoryChips_;
    QWidget* powerLabel_;
    PowerCard* powerCard_;
    PowerListCard* powerList_;
    QWidget* displayLabel_;
    DisplayCard* displayCard_;
    std::vector<TweakCategory> categories_;
    std::vector<Section> sections_;
};

}  // namespace velmora
