// Layout of a rule row and what its switch and trash button ask of the model.
#include "ui/window/RuleRow.hpp"

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/look/Fonts.hpp"
#include "ui/look/Theme.hpp"
#include "ui/model/AppModel.hpp"
#include "ui/widgets/Accessibility.hpp"
#include "ui/widgets/LabelButton.hpp"
#include "ui/widgets/Switch.hpp"
#include "ui/widgets/SymbolView.hpp"
#include "ui/widgets/Text.hpp"
#include "ui/widgets/TextLabel.hpp"

namespace velmora {

namespace {

constexpr qreal kTileRadius = 11;
constexpr int kTileTint = 5;
constexpr qreal kSymbolSize = 16;
constexpr qreal kSymbolOpacity = 0.7;
constexpr int kTextSpacing = 2;
constexpr qreal kSentenceSize = 13;
constexpr qreal kTargetSize = 11;
constexpr int kLeastGap = 8;
constexpr qreal kTrashSize = 12;
constexpr qreal kTrashPadding = 4;
constexpr const char* kTrashSymbol = "trash";
constexpr const char* kTrashTip = "Delete this automation";
constexpr const char* kDeletedScene = "deleted scene";

// "Switch to “Desk”", or "Switch to “deleted scene”" once the scene is gone.
QString targetText(const AutomationRule& rule, const std::vector<Setup>& setups) {
    const auto scene = std::find_if(setups.begin(), setups.end(),
                                    [&](const Setup& setup) { return setup.id == rule.setupID; });
    const QString name =
        scene != setups.end() ? toQString(scene->name) : QString::fromLatin1(kDeletedScene);
    return QStringLiteral("Switch to \u201C") + name + QStringLiteral("\u201D");
}

}  // namespace

namespace ruleNames {

QString row(std::string_view id) {
    return QStringLiteral("rule.") + toQString(id);
}

QString toggle(std::string_view id) {
    return QStringLiteral("switch.") + toQString(id);
}

QString trash(std::string_view id) {
    return QStringLiteral("trash.") + toQString(id);
}

}  // namespace ruleNames

RuleRow::RuleRow(AppModel& model, const AutomationRule& rule, const std::vector<Setup>& setups,
                 QWidget* parent)
    : QWidget(parent), rule_(rule) {
    setObjectName(ruleNames::row(rule_.id));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, verticalPadding, 0, verticalPadding);
    row->setSpacing(spacing);

    tile_ = new SymbolView(std::string(icon(rule_.kind)), kSymbolSize,
                           withOpacity(Theme::ink(), kSymbolOpacity));
    tile_->setTile(tileSide, kTileRadius, Theme::tint(kTileTint));
    row->addWidget(tile_, 0, Qt::AlignVCenter);

    auto* text = new QVBoxLayout;
    text->setSpacing(kTextSpacing);
    sentence_ = new TextLabel(DesignFont::inter(kSentenceSize, FontWeight::semibold), Theme::ink());
    sentence_->setLineLimit(0);
    target_ = new TextLabel(DesignFont::inter(kTargetSize), Theme::secondary());
    target_->setLineLimit(0);
    text->addWidget(sentence_);
    text->addWidget(target_);
    // The switch reads the rule: its sentence and target, once.
    accessibility::hide(*sentence_);
    accessibility::hide(*target_);
    row->addLayout(text, 1);
    // The layout's spacing falls on both sides of the gap, not inside it.
    row->addSpacing(kLeastGap + spacing);

    toggle_ = new Switch;
    toggle_->setObjectName(ruleNames::toggle(rule_.id));
    row->addWidget(toggle_, 0, Qt::AlignVCenter);
    trash_ = new LabelButton(kTrashSymbol, kTrashSize, DesignFont::inter(kTargetSize), 0,
                             Theme::faint());
    trash_->setObjectName(ruleNames::trash(rule_.id));
    trash_->setPadding(kTrashPadding);
    accessibility::nameByToolTip(*trash_, QString::fromLatin1(kTrashTip));
    row->addWidget(trash_, 0, Qt::AlignVCenter);

    // By id: the model flips or removes the rule it holds now, whatever this row last showed.
    connect(toggle_, &Switch::clicked, this, [this, &model] { model.toggleRule(rule_); });
    connect(trash_, &QAbstractButton::clicked, this, [this, &model] { model.deleteRule(rule_); });
    show(rule, setups);
}

void RuleRow::show(const AutomationRule& rule, const std::vector<Setup>& setups) {
    rule_ = rule;
    tile_->setSymbol(std::string(icon(rule_.kind)));
    const QString sentence = toQString(rule_.describe());
    sentence_->setText(sentence);
    target_->setText(targetText(rule_, setups));
    accessibility::readsRow(*toggle_, sentence, target_->text());
    toggle_->setOn(rule_.enabled);
}

}  // namespace velmora
