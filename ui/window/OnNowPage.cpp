// Layout of the On-now page and what each sync shows on it.
#include "ui/window/OnNowPage.hpp"

#include <QVBoxLayout>

#include "ui/look/Fonts.hpp"
#include "ui/look/Theme.hpp"
#include "ui/model/AppModel.hpp"
#include "ui/widgets/TextLabel.hpp"
#include "ui/window/BackButton.hpp"
#include "ui/window/DerivedValues.hpp"
#include "ui/window/MainWindow.hpp"
#include "ui/window/PageBlocks.hpp"
#include "ui/window/RecipeGrid.hpp"
#include "ui/window/SettingCards.hpp"

namespace velmora {

namespace {

constexpr int kSpacing = 14;
constexpr qreal kLineSize = 11;
constexpr const char* kHeading = "On now";
constexpr const char* kEmptyIcon = "bolt.slash";
constexpr const char* kEmptyTitle = "Nothing's on";
constexpr const char* kEmptyMessage =
    "Apply a recipe or power-up and it shows up here, so you can undo it anytime.";
constexpr const char* kLine = "Everything you've turned on \u2014 revert any of it here.";
constexpr const char* kPowerUps = "Power-ups";

}  // namespace

OnNowPage::OnNowPage(MainWindow& window) {
    AppModel& model = window.model;
    QVBoxLayout& column = pageColumn(*this, kSpacing);
    back_ = window.backButton(window.state().backTo);
    column.addWidget(back_, 0, Qt::AlignLeft);
    column.addWidget(heading(QString::fromLatin1(kHeading)));
    empty_ = named(new EmptyState(kEmptyIcon, QString::fromLatin1(kEmptyTitle),
                                  QString::fromLatin1(kEmptyMessage)),
                   onNowNames::empty);
    column.addWidget(empty_);
    line_ = named(paragraph(QString::fromUtf8(kLine), DesignFont::inter(kLineSize), Theme::faint()),
                  onNowNames::line);
    column.addWidget(line_);
    grid_ = named(new RecipeGrid(window), onNowNames::grid);
    column.addWidget(grid_);
    powerCard_ = named(new PowerCard(model), onNowNames::powerCard);
    column.addWidget(powerCard_);
    power_ = named(new PowerListCard(model), onNowNames::power);
    column.addWidget(power_);
    powerUps_ = named(sectionLabel(QString::fromLatin1(kPowerUps)), onNowNames::powerUps);
    column.addWidget(powerUps_);
    tweaks_ = named(new TweakListCard(model), onNowNames::tweaks);
    column.addWidget(tweaks_);
}

void OnNowPage::sync(const WindowView& view) {
    const AppModel& model = view.window.model;
    const DerivedValues& derived = view.derived;
    back_->setTarget(view.state.backTo);
    const bool nothing = derived.onCount == 0;
    empty_->setVisible(nothing);
    line_->setVisible(!nothing);
    if (nothing) {
        for (QWidget* part :
             std::initializer_list<QWidget*>{grid_, powerCard_, power_, powerUps_, tweaks_}) {
            part->hide();
        }
        return;
    }
    grid_->showOrHide(derived.appliedRecipes);
    powerCard_->setVisible(model.keepAwakeWithLidClosed());
    powerCard_->follow(view.now);
    power_->showOrHide(model.enabledPowerToggles());
    powerUps_->setVisible(!derived.enabledStandaloneTweaks.empty());
    tweaks_->showOrHide(derived.enabledStandaloneTweaks);
}

}  // namespace velmora
