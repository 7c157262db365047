// SliderRow: the value text in the system monospaced 10, the slider small and padded 1 on top.
#include "ui/components/SliderRow.hpp"

#include <QVBoxLayout>

#include "ui/components/SwitchRow.hpp"
#include "ui/look/Icons.hpp"
#include "ui/look/Theme.hpp"
#include "ui/model/AppModel.hpp"
#include "ui/sync/SyncCache.hpp"
#include "ui/widgets/Accessibility.hpp"
#include "ui/widgets/DoubleSlider.hpp"
#include "ui/widgets/SymbolView.hpp"
#include "ui/widgets/Text.hpp"
#include "ui/widgets/TextLabel.hpp"

namespace velmora {

namespace {

constexpr qreal kValueSize = 10;
constexpr int kTextSpacing = 2;
constexpr int kSliderTopPadding = 1;

}  // namespace

SliderRow::SliderRow(AppModel& model, SliderTweak slider, QWidget* parent)
    : QWidget(parent), model_(model), slider_(std::move(slider)) {
    setObjectName(rowNames::row(slider_.id));
    // Made in the row, in the order they stand (see settingRow).
    QHBoxLayout& row = settingRow::layout(*this);
    row.addWidget(settingRow::tile(Icons::tweak(slider_.id, slider_.category),
                                   categoryTintIndex(slider_.category), *this),
                  0, Qt::AlignVCenter);
    TextLabel* title = settingRow::title(slider_.title, *this);
    valueText_ = new TextLabel(DesignFont::monospaced(kValueSize), Theme::secondary(), this);
    TextLabel* summary = settingRow::summary(slider_.summary, *this);
    control_ = new DoubleSlider(slider_.min, slider_.max, slider_.step, this);
    control_->setObjectName(rowNames::slider(slider_.id));
    control_->setValueText([this](double value) { return toQString(slider_.display(value)); });
    valueText_->setObjectName(rowNames::value(slider_.id));
    valueText_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    auto* text = new QVBoxLayout;
    text->setSpacing(kTextSpacing);
    auto* titleRow = new QHBoxLayout;
    titleRow->setSpacing(settingRow::titleRowSpacing);
    titleRow->addWidget(title, 1);
    titleRow->addWidget(valueText_, 0, Qt::AlignVCenter);
    text->addLayout(titleRow);
    text->addWidget(summary);
    text->addSpacing(kSliderTopPadding);
    text->addWidget(control_);
    row.addLayout(text, 1);
    // The slider reads the row: its title and summary as its name and description, and the
    // value text as its value.
    for (TextLabel* shown : {title, summary, valueText_}) {
        accessibility::hide(*shown);
    }
    accessibility::readsRow(*control_, title->text(), summary->text());

    connect(control_, &DoubleSlider::moved, this, &SliderRow::showValue);
    connect(control_, &DoubleSlider::committed, this, [this](double value) {
        showValue(value);
        model_.setSliderValue(slider_, value);
    });
}

void SliderRow::showEvent(QShowEvent* event) {
    if (!loaded_) {
        load();
    }
    QWidget::showEvent(event);
}

void SliderRow::follow(const SyncCache& now) {
    // A held knob is the user's: the release writes what it shows.
    if (loaded_ && now.revision() != loadedRevision_ && !control_->isSliderDown()) {
        load();
    }
}

void SliderRow::load() {
    // The stored number, or the default for no value, another kind or no finite number.
    loadedRevision_ = model_.revision();
    value_ = model_.sliderValue(slider_);
    control_->setDoubleValue(value_);
    showValue(value_);
    loaded_ = true;
}

void SliderRow::showValue(double value) {
    value_ = value;
    valueText_->setText(toQString(slider_.display(value)));
}

}  // namespace velmora
