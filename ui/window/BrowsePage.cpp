// Layout of the Browse page, its filter and tier rules, and what each sync shows on it.
#include "ui/window/BrowsePage.hpp"

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <cmath>

#include "ui/components/SwitchRow.hpp"
#include "ui/look/Fonts.hpp"
#include "ui/model/AppModel.hpp"
#include "ui/sync/RowBuilder.hpp"
#include "ui/widgets/LabelledSwitch.hpp"
#include "ui/widgets/Text.hpp"
#include "ui/widgets/TextLabel.hpp"
#include "ui/widgets/WheelStrip.hpp"
#include "ui/window/DerivedValues.hpp"
#include "ui/window/FilterChip.hpp"
#include "ui/window/MainWindow.hpp"
#include "ui/window/PageBlocks.hpp"
#include "ui/window/SettingCards.hpp"

namespace velmora {

namespace {

constexpr int kSpacing = 14;
constexpr const char* kHeading = "Browse all";
constexpr const char* kAdvanced = "Advanced";
constexpr qreal kAdvancedSize = 12;
constexpr qreal kAdvancedScale = 0.85;
constexpr int kChipSpacing = 7;
constexpr int kChipsBottom = 2;
constexpr const char* kAll = "All";
constexpr const char* kPower = "Power";
constexpr const char* kDisplay = "Display";
// No setting row is shorter than its tile and padding.
constexpr int kSmallestRow = settingRow::tileSide + 2 * settingRow::verticalPadding;

// With the switch off every advanced item is hidden.
bool passes(TweakTier tier, bool showAdvanced) {
    return showAdvanced || tier == TweakTier::simple;
}

template <class Item>
std::vector<Item> passing(const std::vector<Item>& items, bool showAdvanced) {
    std::vector<Item> kept;
    std::copy_if(items.begin(), items.end(), std::back_inserter(kept),
                 [&](const Item& item) { return passes(item.tier, showAdvanced); });
    return kept;
}

template <class Item>
std::vector<Item> inCategory(const std::vector<Item>& items, TweakCategory category,
                             bool showAdvanced) {
    std::vector<Item> kept;
    std::copy_if(items.begin(), items.end(), std::back_inserter(kept), [&](const Item& item) {
        return item.category == category && passes(item.tier, showAdvanced);
    });
    return kept;
}

QString nameFor(const char* kind, TweakCategory category) {
    return QString::fromLatin1(kind) + toQString(rawValue(category));
}

// The fixed chips and their titles, which are also their sections' labels.
struct FixedFilter {
    BrowseFilter filter;
    const char* title;
};
constexpr std::array<FixedFilter, 3> kFixedFilters{{{BrowseFilter::all(), kAll},
                                                    {BrowseFilter::power(), kPower},
                                                    {BrowseFilter::display(), kDisplay}}};

// "Browse all" and the switch, their first baselines level.
QWidget* headerRow(LabelledSwitch* advanced) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    TextLabel* title = heading(QString::fromLatin1(kHeading));
    const qreal titleBaseline = title->designFont().ascent();
    const auto lower = static_cast<int>(std::round(titleBaseline - advanced->baseline()));
    layout->addWidget(withTopPadding(title, std::max(0, -lower)), 0, Qt::AlignTop);
    layout->addStretch(1);
    layout->addWidget(withTopPadding(advanced, std::max(0, lower)), 0, Qt::AlignTop);
    return row;
}

}  // namespace

namespace browseNames {

QString chip(const BrowseFilter& filter) {
    for (const FixedFilter& fixed : kFixedFilters) {
        if (fixed.filter == filter) {
            return QStringLiteral("chip.") + QString::fromLatin1(fixed.title);
        }
    }
    // Not one of the fixed filters: a category's.
    return nameFor("chip.category.", filter.category().value_or(TweakCategory{}));
}

QString label(TweakCategory category) {
    return nameFor("browse.label.", category);
}

QString tweaks(TweakCategory category) {
    return nameFor("browse.tweaks.", category);
}

QString sliders(TweakCategory category) {
    return nameFor("browse.sliders.", category);
}

}  // namespace browseNames

BrowsePage::BrowsePage(MainWindow& window) : window_(window) {
    AppModel& model = window.model;
    column_ = &pageColumn(*this, kSpacing);
    builder_ = new RowBuilder(*this, kSmallestRow);

    advanced_ = named(new LabelledSwitch(QString::fromLatin1(kAdvanced),
                                         DesignFont::inter(kAdvancedSize), kAdvancedScale),
                      browseNames::advanced);
    // Bound to the window's state: the click flips it.
    connect(advanced_, &LabelledSwitch::clicked, this, [&window] {
        window.change([](WindowState& state) { state.showAdvanced = !state.showAdvanced; });
    });
    column_->addWidget(headerRow(advanced_));

    strip_ = named(new WheelStrip, browseNames::chips);
    strip_->row().setSpacing(kChipSpacing);
    strip_->row().setContentsMargins(0, 0, 0, kChipsBottom);
    for (const FixedFilter& fixed : kFixedFilters) {
        fixedChips_.push_back(makeChip(QString::fromLatin1(fixed.title), fixed.filter));
    }
    strip_->row().addStretch(1);
    column_->addWidget(strip_);

    powerLabel_ = named(sectionLabel(QString::fromLatin1(kPower)), browseNames::powerLabel);
    column_->addWidget(powerLabel_);
    powerCard_ = named(new PowerCard(model), browseNames::powerCard);
    column_->addWidget(powerCard_);
    powerList_ = named(new PowerListCard(model), browseNames::powerList);
    column_->addWidget(powerList_);
    displayLabel_ = named(sectionLabel(QString::fromLatin1(kDisplay)), browseNames::displayLabel);
    column_->addWidget(displayLabel_);
    displayCard_ = named(new DisplayCard(model), browseNames::displayCard);
    column_->addWidget(displayCard_);
}

std::vector<FilterChip*> BrowsePage::chips() const {
    std::vector<FilterChip*> all;
    for (const std::vector<Chip>* part : {&fixedChips_, &categoryChips_}) {
        for (const Chip& keyed : *part) {
            all.push_back(keyed.chip);
        }
    }
    return all;
}

BrowsePage::Chip BrowsePage::makeChip(const QString& label, const BrowseFilter& filter) {
    auto* chip = new FilterChip(label);
    chip->setObjectName(browseNames::chip(filter));
    connect(chip, &FilterChip::clicked, this, [this, filter] {
        window_.change([filter](WindowState& state) { state.browseFilter = filter; });
    });
    // Before the strip's closing stretch, if it has one yet.
    QHBoxLayout& row = strip_->row();
    const int stretch = row.count() - 1;
    const bool closed = stretch >= 0 && row.itemAt(stretch)->spacerItem() != nullptr;
    row.insertWidget(closed ? stretch : row.count(), chip);
    return {filter, chip};
}

void BrowsePage::makeCategories(const std::vector<TweakCategory>& categories) {
    for (const Chip& keyed : categoryChips_) {
        strip_->row().removeWidget(keyed.chip);
        keyed.chip->deleteLater();
    }
    categoryChips_.clear();
    for (const Section& section : sections_) {
        for (QWidget* part :
             std::initializer_list<QWidget*>{section.label, section.tweaks, section.sliders}) {
            column_->removeWidget(part);
            part->hide();
            part->deleteLater();
        }
    }
    sections_.clear();

    AppModel& model = window_.model;
    for (const TweakCategory category : categories) {
        const QString title = toQString(displayName(category));
        categoryChips_.push_back(makeChip(title, BrowseFilter::of(category)));
        Section section{category, sectionLabel(title), new TweakListCard(model),
                        new SliderListCard(model)};
        section.label->setObjectName(browseNames::label(category));
        section.tweaks->setObjectName(browseNames::tweaks(category));
        section.sliders->setObjectName(browseNames::sliders(category));
        section.tweaks->makeRowsLater(*builder_);
        for (QWidget* part :
             std::initializer_list<QWidget*>{section.label, section.tweaks, section.sliders}) {
            column_->addWidget(part);
        }
        sections_.push_back(section);
    }
    categories_ = categories;
}

void BrowsePage::sync(const WindowView& view) {
    builder_->startSync();
    if (view.derived.categories != categories_) {
        makeCategories(view.derived.categories);
    }
    const BrowseFilter& filter = view.state.browseFilter;
    const bool all = filter.isAll();
    const bool advanced = view.state.showAdvanced;
    advanced_->setOn(advanced);
    for (const std::vector<Chip>* part : {&fixedChips_, &categoryChips_}) {
        for (const Chip& keyed : *part) {
            keyed.chip->setSelected(keyed.filter == filter);
        }
    }

    const bool power = filter.shows(BrowseFilter::Kind::power);
    powerLabel_->setVisible(power && all);
    powerCard_->setVisible(power);
    if (power) {
        powerCard_->follow(view.now);
    }
    if (power) {
        powerList_->showOrHide(passing(Catalog::powerToggles(), advanced));
    } else {
        powerList_->hide();
    }
    const bool display = filter.shows(BrowseFilter::Kind::display);
    displayLabel_->setVisible(display && all);
    displayCard_->setVisible(display);
    if (display) {
        displayCard_->follow(view.now);
    }

    const Catalog& catalog = view.window.model.catalog();
    for (const Section& section : sections_) {
        if (!filter.shows(section.category)) {
            section.label->hide();
            section.tweaks->hide();
            section.sliders->hide();
            continue;
        }
        const std::vector<Tweak> tweaks = inCategory(catalog.tweaks(), section.category, advanced);
        const std::vector<SliderTweak> sliders =
            inCategory(Catalog::sliderTweaks(), section.category, advanced);
        section.label->setVisible(all && (!tweaks.empty() || !sliders.empty()));
        section.tweaks->showOrHide(tweaks);
        section.sliders->showOrHide(sliders);
    }
    builder_->endSync();
}

}  // namespace velmora
