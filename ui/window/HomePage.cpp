// Layout of the start page and what each sync shows on it.
#include "ui/window/HomePage.hpp"

#include <QVBoxLayout>

#include "ui/look/Fonts.hpp"
#include "ui/look/Theme.hpp"
#include "ui/model/AppModel.hpp"
#include "ui/widgets/TextLabel.hpp"
#include "ui/window/DerivedValues.hpp"
#include "ui/window/ListCard.hpp"
#include "ui/window/MainWindow.hpp"
#include "ui/window/PageBlocks.hpp"
#include "ui/window/RecipeGrid.hpp"
#include "ui/window/SettingCards.hpp"

namespace velmora {

namespace {

constexpr int kSpacing = 18;
constexpr int kHeaderSpacing = 2;
constexpr int kHeaderTop = 2;
constexpr qreal kTitleSize = 16;
constexpr qreal kSubtitleSize = 11.5;
constexpr int kSuggestedTop = 6;
constexpr const char* kTitle = "Tune your Mac";
constexpr const char* kSubtitle = "One click to apply, one to undo.";
constexpr const char* kSuggested = "Suggested for you";

QWidget* header() {
    auto* block = new QWidget;
    QVBoxLayout& texts = pageColumn(*block, kHeaderSpacing);
    texts.setContentsMargins(0, kHeaderTop, 0, 0);
    auto* title = new TextLabel(DesignFont::fraunces(kTitleSize, FontWeight::bold), Theme::ink());
    title->setRole(QAccessible::Heading);
    title->setText(QString::fromLatin1(kTitle));
    texts.addWidget(title);
    auto* subtitle = new TextLabel(DesignFont::inter(kSubtitleSize), Theme::faint());
    subtitle->setText(QString::fromLatin1(kSubtitle));
    texts.addWidget(subtitle);
    return block;
}

}  // namespace

HomePage::HomePage(MainWindow& window) {
    QVBoxLayout& column = pageColumn(*this, kSpacing);
    column.addWidget(header());
    grid_ = new RecipeGrid(window);
    grid_->setObjectName(QString::fromLatin1(homeNames::grid));
    neverSleep_ = new NeverSleepCard(window.model);
    grid_->setTrailing(neverSleep_);
    column.addWidget(grid_);
    suggestedHeading_ = withTopPadding(heading(QString::fromLatin1(kSuggested)), kSuggestedTop);
    suggestedHeading_->setObjectName(QString::fromLatin1(homeNames::suggested));
    column.addWidget(suggestedHeading_);
    suggestedList_ = new TweakListCard(window.model);
    suggestedList_->setObjectName(QString::fromLatin1(homeNames::suggestedList));
    column.addWidget(suggestedList_);
}

void HomePage::sync(const WindowView& view) {
    grid_->show(view.derived.orderedRecipes);
    neverSleep_->follow(view.now);
    const std::vector<Tweak> suggested = view.window.model.recommendedTweaks();
    suggestedHeading_->setVisible(!suggested.empty());
    suggestedList_->showOrHide(suggested);
}

}  // namespace velmora
