// The searches of one sync and the sections they fill.
#include "ui/window/SearchPage.hpp"

#include <QVBoxLayout>

#include "ui/model/AppModel.hpp"
#include "ui/widgets/Text.hpp"
#include "ui/widgets/TextLabel.hpp"
#include "ui/window/MainWindow.hpp"
#include "ui/window/PageBlocks.hpp"
#include "ui/window/RecipeGrid.hpp"
#include "ui/window/SettingCards.hpp"

namespace velmora {

namespace {

constexpr int kSpacing = 16;
constexpr const char* kEmptyIcon = "magnifyingglass";
constexpr const char* kEmptyTitle = "No matches";
constexpr const char* kEmptyBefore = "Nothing matches \u201C";
constexpr const char* kEmptyAfter = "\u201D. Try another word.";

}  // namespace

SearchResults SearchResults::of(const AppModel& model, const std::string& query) {
    return {model.searchRecipes(query), model.searchTweaks(query), model.searchSliders(query),
            model.searchPowerToggles(query), model.lidCloseMatches(query)};
}

bool SearchResults::empty() const {
    return recipes.empty() && tweaks.empty() && sliders.empty() && powerToggles.empty() && !lid;
}

SearchPage::SearchPage(MainWindow& window) {
    AppModel& model = window.model;
    QVBoxLayout& column = pageColumn(*this, kSpacing);
    empty_ =
        named(new EmptyState(kEmptyIcon, QString::fromLatin1(kEmptyTitle), {}), searchNames::empty);
    column.addWidget(empty_);
    recipesHeading_ = named(heading(QStringLiteral("Recipes")), searchNames::recipes);
    column.addWidget(recipesHeading_);
    grid_ = named(new RecipeGrid(window), searchNames::grid);
    column.addWidget(grid_);
    powerHeading_ = named(heading(QStringLiteral("Power")), searchNames::power);
    column.addWidget(powerHeading_);
    powerCard_ = named(new PowerCard(model), searchNames::powerCard);
    column.addWidget(powerCard_);
    powerList_ = named(new PowerListCard(model), searchNames::powerList);
    column.addWidget(powerList_);
    powerUpsHeading_ = named(heading(QStringLiteral("Power-ups")), searchNames::powerUps);
    column.addWidget(powerUpsHeading_);
    tweaks_ = named(new TweakListCard(model), searchNames::tweaks);
    column.addWidget(tweaks_);
    sliders_ = named(new SliderListCard(model), searchNames::sliders);
    column.addWidget(sliders_);
}

void SearchPage::sync(const WindowView& view) {
    results_ = SearchResults::of(view.window.model, view.state.query);
    const SearchResults& found = results_;
    empty_->setVisible(found.empty());
    if (found.empty()) {
        // The query as typed, spaces and all, between curly quotation marks.
        empty_->setContent(kEmptyIcon, QString::fromLatin1(kEmptyTitle),
                           QString::fromUtf8(kEmptyBefore) + toQString(view.state.query) +
                               QString::fromUtf8(kEmptyAfter));
    }
    recipesHeading_->setVisible(!found.recipes.empty());
    grid_->showOrHide(found.recipes);
    powerHeading_->setVisible(found.lid || !found.powerToggles.empty());
    powerCard_->setVisible(found.lid);
    powerCard_->follow(view.now);
    powerList_->showOrHide(found.powerToggles);
    powerUpsHeading_->setVisible(!found.tweaks.empty() || !found.sliders.empty());
    tweaks_->showOrHide(found.tweaks);
    sliders_->showOrHide(found.sliders);
}

}  // namespace velmora
