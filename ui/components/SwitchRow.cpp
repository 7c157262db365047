// The shared row shape and the star-and-switch rows built on it.
#include "ui/components/SwitchRow.hpp"

#include "ui/components/Chip.hpp"
#include "ui/components/StarButton.hpp"
#include "ui/look/Fonts.hpp"
#include "ui/look/Theme.hpp"
#include "ui/sync/ModelSync.hpp"
#include "ui/widgets/Accessibility.hpp"
#include "ui/widgets/Switch.hpp"
#include "ui/widgets/SymbolView.hpp"
#include "ui/widgets/Text.hpp"
#include "ui/widgets/TextLabel.hpp"

namespace velmora {

namespace {

constexpr qreal kTileRadius = 7;
constexpr qreal kTileSymbolSize = 12;
constexpr qreal kTileSymbolOpacity = 0.72;
constexpr qreal kTitleSize = 12.5;
constexpr qreal kSummarySize = 11;
constexpr int kTextSpacing = 1;

}  // namespace

namespace settingRow {

QHBoxLayout& layout(QWidget& row) {
    auto* layout = new QHBoxLayout(&row);
    layout->setContentsMargins(0, verticalPadding, 0, verticalPadding);
    layout->setSpacing(spacing);
    return *layout;
}

SymbolView* tile(const std::string& symbol, int tintIndex, QWidget& row) {
    auto* view = new SymbolView(symbol, kTileSymbolSize,
                                withOpacity(Theme::ink(), kTileSymbolOpacity), &row);
    view->setTile(tileSide, kTileRadius, Theme::tint(tintIndex));
    return view;
}

TextLabel* title(const std::string& text, QWidget& row) {
    auto* label =
        new TextLabel(DesignFont::inter(kTitleSize, FontWeight::medium), Theme::ink(), &row);
    label->setLineLimit(0);
    label->setText(toQString(text));
    return label;
}

TextLabel* summary(const std::string& text, QWidget& row) {
    auto* label = new TextLabel(DesignFont::inter(kSummarySize), Theme::secondary(), &row);
    label->setLineLimit(0);
    label->setText(toQString(text));
    return label;
}

}  // namespace settingRow

namespace rowNames {

QString row(std::string_view id) {
    return QStringLiteral("row.") + toQString(id);
}

QString star(std::string_view id) {
    return QStringLiteral("star.") + toQString(id);
}

QString toggle(std::string_view id) {
    return QStringLiteral("switch.") + toQString(id);
}

QString slider(std::string_view id) {
    return QStringLiteral("slider.") + toQString(id);
}

QString value(std::string_view id) {
    return QStringLiteral("value.") + toQString(id);
}

}  // namespace rowNames

SwitchRow::SwitchRow(const std::string& id, const std::string& symbol, int tintIndex,
                     const std::string& title, const std::string& summary,
                     const std::vector<QString>& chips, std::function<void()> onStar,
                     std::function<void()> onSwitch, QWidget* parent)
    : QWidget(parent) {
    setObjectName(rowNames::row(id));
    QHBoxLayout& row = settingRow::layout(*this);
    row.addWidget(settingRow::tile(symbol, tintIndex, *this), 0, Qt::AlignVCenter);

    auto* text = new QVBoxLayout;
    text->setSpacing(kTextSpacing);
    auto* titleRow = new QHBoxLayout;
    titleRow->setSpacing(settingRow::titleRowSpacing);
    // The chips follow the title; the title gives way (wrapping) only when the row is narrow.
    title_ = settingRow::title(title, *this);
    titleRow->addWidget(title_);
    for (const QString& chip : chips) {
        titleRow->addWidget(new Chip(chip, this), 0, Qt::AlignVCenter);
    }
    titleRow->addStretch(1);
    text->addLayout(titleRow);
    summary_ = settingRow::summary(summary, *this);
    text->addWidget(summary_);
    row.addLayout(text, 1);
    star_ = new StarButton(false, std::move(onStar), this);
    star_->setObjectName(rowNames::star(id));
    toggle_ = new Switch(this);
    toggle_->setObjectName(rowNames::toggle(id));
    connect(toggle_, &Switch::clicked, this, [onSwitch = std::move(onSwitch)] { onSwitch(); });
    // The switch reads the row: the texts beside it are read once, as its name and description.
    accessibility::hide(*title_);
    accessibility::hide(*summary_);
    accessibility::readsRow(*toggle_, title_->text(), summary_->text());
    star_->setSubject(title_->text());

    row.addSpacing(settingRow::trailingGap + settingRow::spacing);
    row.addWidget(star_, 0, Qt::AlignVCenter);
    row.addWidget(toggle_, 0, Qt::AlignVCenter);
}

void SwitchRow::setReader(AppModel& model, Reader reader) {
    reader_ = std::move(reader);
    follow(ModelSync::of(model).cache());
}

void SwitchRow::relabel(const std::string& title, const std::string& summary) {
    title_->setText(toQString(title));
    summary_->setText(toQString(summary));
    accessibility::readsRow(*toggle_, title_->text(), summary_->text());
    star_->setSubject(title_->text());
}

void SwitchRow::follow(const SyncCache& now) {
    if (!reader_) {
        return;
    }
    const State shown = reader_(now);
    toggle_->setOn(shown.on);
    star_->setOn(shown.favourite);
}

}  // namespace velmora
