// The search results, shown in place of every page while the search field holds any text: the
// model's searches of recipes, power-ups (tweaks and sliders), power settings and the keep-awake
// words, run once per sync on the query as typed, laid out as Recipes, Power and Power-ups, each
// only when it has matches, with the cards and rows of the other pages, so that every match can
// be applied, switched or pinned where it is found. No match at all: "No matches" quoting the
// query. Its parts' object names are in searchNames.
#pragma once

#include "ui/window/ListCard.hpp"
#include "ui/window/Page.hpp"

namespace velmora {

// The object names of the page's parts, which tests and tools find them by (the headings are the
// first of each section).
namespace searchNames {

inline constexpr const char* empty = "search.empty";
inline constexpr const char* recipes = "search.recipes";
inline constexpr const char* grid = "search.grid";
inline constexpr const char* power = "search.power";
inline constexpr const char* powerCard = "search.powerCard";
inline constexpr const char* powerList = "search.powerList";
inline constexpr const char* powerUps = "search.powerUps";
inline constexpr const char* tweaks = "search.tweaks";
inline constexpr const char* sliders = "search.sliders";

}  // namespace searchNames

class EmptyState;
class PowerCard;
class RecipeGrid;

// What one query finds.
struct SearchResults {
    std::vector<Recipe> recipes;
    std::vector<const Tweak*> tweaks;  // into the model's catalog
    std::vector<SliderTweak> sliders;
    std::vector<PowerTweak> powerToggles;
    bool lid = false;

    static SearchResults of(const AppModel& model, const std::string& query);
    bool empty() const;
};

class SearchPage : public Page {
    Q_OBJECT

  public:
    explicit SearchPage(MainWindow& window);

    void sync(const WindowView& view) override;

    // What the last sync found.
    const SearchResults& results() const { return results_; }

  private:
    SearchResults results_;
    EmptyState* empty_;
    QWidget* recipesHeading_;
    RecipeGrid* grid_;
    QWidget* powerHeading_;
    PowerCard* powerCard_;
    PowerListCard* powerList_;
    QWidget* powerUpsHeading_;
    TweakListCard* tweaks_;
    SliderListCard* sliders_;
};

}  // namespace velmora
