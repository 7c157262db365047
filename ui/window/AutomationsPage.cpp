// Layout of the Automations page, which of its parts show, and the application list it fills.
#include "ui/window/AutomationsPage.hpp"

#include <QVBoxLayout>

#include "ui/look/Fonts.hpp"
#include "ui/look/Theme.hpp"
#include "ui/model/AppModel.hpp"
#include "ui/sync/ModelSync.hpp"
#include "ui/widgets/TextLabel.hpp"
#include "ui/window/ListCard.hpp"
#include "ui/window/MainWindow.hpp"
#include "ui/window/NewRuleCard.hpp"
#include "ui/window/PageBlocks.hpp"
#include "ui/window/RuleRow.hpp"

namespace velmora {

namespace {

constexpr int kSpacing = 16;
constexpr qreal kExplanationSize = 13;
// The rows pad themselves; a divider starts under the text, past the row inset, tile and gap.
constexpr ListCard::Insets kRuleCardInsets{.vertical = 0, .divider = 66};
constexpr const char* kHeading = "Automations";
constexpr const char* kExplanation =
    "Switch to a scene automatically when your power source changes \u2014 Velmora watches in "
    "the background.";
constexpr const char* kEmptySymbol = "wand.and.rays";
constexpr const char* kEmptyTitle = "Save a scene first";
constexpr const char* kEmptyMessage =
    "Automations switch to a saved scene. Create one under \u201CScenes\u201D (the + in the "
    "sidebar), then come back.";

}  // namespace

AutomationsPage::AutomationsPage(MainWindow& window, QWidget* parent)
    : Page(parent), window_(window) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(kSpacing);
    column->addWidget(heading(QString::fromLatin1(kHeading)));
    auto* explanation = new TextLabel(DesignFont::inter(kExplanationSize), Theme::secondary());
    explanation->setLineLimit(0);
    explanation->setText(QString::fromUtf8(kExplanation));
    column->addWidget(explanation);
    empty_ = new EmptyState(kEmptySymbol, QString::fromLatin1(kEmptyTitle),
                            QString::fromUtf8(kEmptyMessage));
    empty_->setObjectName(QString::fromLatin1(automationsNames::empty));
    column->addWidget(empty_);
    rules_ = new ListCard(ModelSync::of(window.model), kRuleCardInsets);
    rules_->setObjectName(QString::fromLatin1(automationsNames::rules));
    column->addWidget(rules_);
    form_ = new NewRuleCard(window);
    column->addWidget(form_);
}

void AutomationsPage::sync(const WindowView& view) {
    AppModel& model = view.now.model();
    const std::vector<Setup>& setups = model.setups();
    const std::vector<AutomationRule>& rules = model.rules();
    empty_->setVisible(setups.empty());
    rules_->setVisible(!setups.empty() && !rules.empty());
    form_->setVisible(!setups.empty());

    std::vector<std::string> ids;
    ids.reserve(rules.size());
    for (const AutomationRule& rule : rules) {
        ids.push_back(rule.id);
    }
    const bool rebuilt = rules_->show(ids, [&](std::size_t i, QWidget& parent) {
        return new RuleRow(model, rules[i], setups, &parent);
    });
    // Kept rows follow their rules in place; rows kept only because a menu is open wait.
    if (!rebuilt && rules_->keys() == ids) {
        const std::vector<QWidget*> rows = rules_->rows();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            static_cast<RuleRow*>(rows[i])->show(rules[i], setups);
        }
    }
    form_->show(view);
}

void AutomationsPage::appear(const WindowView& view) {
    if (!view.state.installedAppList.empty()) {
        return;
    }
    std::vector<AppPick> picks;
    for (const InstalledApp& app : window_.appLister()()) {
        picks.push_back({app.bundleID, app.name});
    }
    if (!picks.empty()) {
        window_.change([&picks](WindowState& state) { state.installedAppList = std::move(picks); });
    }
}

}  // namespace velmora
