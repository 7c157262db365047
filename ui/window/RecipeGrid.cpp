// Placing recipe cards two to a row, and replacing them when the list changes.
#include "ui/window/RecipeGrid.hpp"

#include "ui/components/RecipeGridCard.hpp"
#include "ui/sync/InteractionHold.hpp"
#include "ui/sync/ModelSync.hpp"
#include "ui/widgets/Accessibility.hpp"
#include "ui/window/MainWindow.hpp"

namespace velmora {

RecipeGrid::RecipeGrid(MainWindow& window, QWidget* parent)
    : CardCanvas(parent),
      window_(window),
      grid_(new QGridLayout(this)),
      filler_(new QWidget(this)) {
    filler_->setAttribute(Qt::WA_TransparentForMouseEvents);
    accessibility::hide(*filler_);
    filler_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    filler_->hide();
    grid_->setContentsMargins(0, 0, 0, 0);
    grid_->setSpacing(spacing);
    for (int column = 0; column < columns; ++column) {
        grid_->setColumnStretch(column, 1);
    }
}

void RecipeGrid::setTrailing(QWidget* card) {
    if (trailing_ != nullptr) {
        grid_->removeWidget(trailing_);
        trailing_->deleteLater();
    }
    trailing_ = card;
    card->setParent(this);
    const auto at = static_cast<int>(cards_.size());
    grid_->addWidget(card, at / columns, at % columns, Qt::AlignVCenter);
    placeFiller();
}

bool RecipeGrid::show(const std::vector<Recipe>& recipes) {
    std::vector<std::string> ids;
    ids.reserve(recipes.size());
    for (const Recipe& recipe : recipes) {
        ids.push_back(recipe.id);
    }
    // Kept cards (the same ids, or a rebuild waiting for a held control) show this sync.
    const bool held = shown_ && ids != ids_ && InteractionHold::activeIn(*this);
    if (shown_ && (ids == ids_ || held)) {
        const SyncCache& now = ModelSync::of(window_.model).cache();
        for (RecipeGridCard* card : cards_) {
            card->follow(now);
        }
        if (held) {
            ModelSync::of(window_.model).postponeRebuild(*this);
        }
        return false;
    }
    for (RecipeGridCard* card : cards_) {
        grid_->removeWidget(card);
        card->hide();
        card->deleteLater();
    }
    cards_.clear();
    for (std::size_t i = 0; i < recipes.size(); ++i) {
        const Recipe& recipe = recipes[i];
        auto* card = new RecipeGridCard(window_.model, recipe, static_cast<int>(i),
                                        [this, recipe] { window_.openRecipe(recipe); });
        const auto at = static_cast<int>(i);
        grid_->addWidget(card, at / columns, at % columns, Qt::AlignVCenter);
        cards_.push_back(card);
    }
    if (trailing_ != nullptr) {
        grid_->removeWidget(trailing_);
        const auto at = static_cast<int>(cards_.size());
        grid_->addWidget(trailing_, at / columns, at % columns, Qt::AlignVCenter);
    }
    ids_ = std::move(ids);
    shown_ = true;
    placeFiller();
    return true;
}

void RecipeGrid::placeFiller() {
    grid_->removeWidget(filler_);
    const std::size_t placed = cards_.size() + (trailing_ != nullptr ? 1 : 0);
    const bool lone = placed == 1;
    if (lone) {
        grid_->addWidget(filler_, 0, 1);
    }
    filler_->setVisible(lone);
}

void RecipeGrid::showOrHide(const std::vector<Recipe>& recipes) {
    setVisible(!recipes.empty());
    if (!recipes.empty()) {
        show(recipes);
    }
}

}  // namespace velmora
