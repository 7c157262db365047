// Layout of the favourites page and what each sync shows on it.
#include "ui/window/FavoritesPage.hpp"

#include <QVBoxLayout>

#include "ui/model/AppModel.hpp"
#include "ui/window/MainWindow.hpp"
#include "ui/window/PageBlocks.hpp"
#include "ui/window/RecipeGrid.hpp"
#include "ui/window/SettingCards.hpp"

namespace velmora {

namespace {

constexpr int kSpacing = 14;
constexpr const char* kEmptyIcon = "star";
constexpr const char* kEmptyTitle = "No favorites yet";
constexpr const char* kEmptyMessage =
    "Click the \u2606 on any recipe, power-up, or the Never-sleep card to pin it here \u2014 and "
    "to your menu bar.";

}  // namespace

FavoritesPage::FavoritesPage(MainWindow& window) {
    QVBoxLayout& column = pageColumn(*this, kSpacing);
    grid_ = new RecipeGrid(window);
    grid_->setObjectName(QString::fromLatin1(favoritesNames::grid));
    column.addWidget(grid_);
    neverSleep_ = new NeverSleepCard(window.model);
    neverSleep_->setObjectName(QString::fromLatin1(favoritesNames::neverSleep));
    // As wide as the page allows up to 360, on the leading side.
    neverSleep_->setMaximumWidth(neverSleepWidth);
    column.addWidget(neverSleep_);
    power_ = new PowerListCard(window.model);
    power_->setObjectName(QString::fromLatin1(favoritesNames::power));
    column.addWidget(power_);
    tweaks_ = new TweakListCard(window.model);
    tweaks_->setObjectName(QString::fromLatin1(favoritesNames::tweaks));
    column.addWidget(tweaks_);
    empty_ = new EmptyState(kEmptyIcon, QString::fromLatin1(kEmptyTitle),
                            QString::fromUtf8(kEmptyMessage));
    empty_->setObjectName(QString::fromLatin1(favoritesNames::empty));
    column.addWidget(empty_);
}

void FavoritesPage::sync(const WindowView& view) {
    const AppModel& model = view.window.model;
    empty_->setVisible(!model.hasFavorites());
    grid_->showOrHide(model.favoriteRecipes());
    neverSleep_->setVisible(model.favoritePower());
    neverSleep_->follow(view.now);
    power_->showOrHide(model.favoritePowerToggles());
    tweaks_->showOrHide(model.favoriteTweaks());
}

}  // namespace velmora
