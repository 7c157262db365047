// The picker's sections, spaced 16: the select-all row (items spaced 14, padded 2 below), power
// (rows spaced 4), sliders (spaced 8), then each category (spaced 4). Headings in Inter 9.5
// semibold, upper-cased, tracked 1.
#include "ui/sheets/ScenePicker.hpp"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/look/Fonts.hpp"
#include "ui/look/Icons.hpp"
#include "ui/look/Theme.hpp"
#include "ui/sheets/CheckRow.hpp"
#include "ui/sheets/SceneDraft.hpp"
#include "ui/widgets/Accessibility.hpp"
#include "ui/widgets/DoubleSlider.hpp"
#include "ui/widgets/SymbolView.hpp"
#include "ui/widgets/Text.hpp"
#include "ui/widgets/TextButton.hpp"
#include "ui/widgets/TextLabel.hpp"

namespace velmora {

namespace {

constexpr int kSectionSpacing = 16;
constexpr int kSelectAllSpacing = 14;
constexpr int kSelectAllBottom = 2;
constexpr qreal kSelectAllSize = 11.5;
constexpr int kRowSpacing = 4;
constexpr int kSliderSpacing = 8;
constexpr int kSliderRowSpacing = 4;
constexpr qreal kHeadingSize = 9.5;
constexpr qreal kHeadingTracking = 1;
constexpr qreal kValueSize = 10;
constexpr int kPowerTint = 5;
constexpr const char* kLidSymbol = "powersleep";
constexpr const char* kLidTitle = "Never sleep (lid closed)";

QVBoxLayout* section(QWidget& owner, int spacing, const QString& heading) {
    auto* stack = new QVBoxLayout(&owner);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(spacing);
    auto* label = new TextLabel(
        DesignFont::inter(kHeadingSize, FontWeight::semibold, kHeadingTracking), Theme::faint());
    label->setObjectName(pickerNames::section(heading));
    label->setText(heading.toUpper());
    stack->addWidget(label);
    return stack;
}

}  // namespace

namespace pickerNames {

QString check(std::string_view id) {
    return QStringLiteral("check.") + toQString(id);
}

QString section(const QString& heading) {
    return QString::fromLatin1(sectionPrefix) + heading;
}

QString pick(std::string_view id) {
    return QStringLiteral("pick.") + toQString(id);
}

QString include(std::string_view id) {
    return QStringLiteral("include.") + toQString(id);
}

QString value(std::string_view id) {
    return QStringLiteral("value.") + toQString(id);
}

QString slider(std::string_view id) {
    return QStringLiteral("slider.") + toQString(id);
}

}  // namespace pickerNames

// One slider of the picker: tile, title, the value while included, the include button, and the
// slider below while included. Only the include button takes a click.
class SliderChoice : public QWidget {
  public:
    SliderChoice(const SliderTweak& slider, SceneDraft& draft, std::function<void()> changed)
        : slider_(slider),
          draft_(draft),
          include_(new CheckMark),
          value_(new TextLabel(DesignFont::monospaced(kValueSize), Theme::secondary())),
          control_(new DoubleSlider(slider.min, slider.max, slider.step)) {
        setObjectName(pickerNames::pick(slider_.id));
        include_->setObjectName(pickerNames::include(slider_.id));
        include_->setAccessibleName(toQString(slider_.title));
        value_->setObjectName(pickerNames::value(slider_.id));
        value_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        control_->setObjectName(pickerNames::slider(slider_.id));
        control_->setAccessibleName(toQString(slider_.title));
        control_->setValueText([this](double value) { return toQString(slider_.display(value)); });

        auto* stack = new QVBoxLayout(this);
        stack->setContentsMargins(0, 0, 0, 0);
        stack->setSpacing(kSliderRowSpacing);
        auto* top = new QHBoxLayout;
        top->setSpacing(static_cast<int>(CheckRow::spacing));
        auto* tile =
            new SymbolView(Icons::tweak(slider_.id, slider_.category), CheckRow::tileSymbolSize,
                           withOpacity(Theme::ink(), CheckRow::tileSymbolOpacity));
        tile->setTile(CheckRow::tileSide, CheckRow::tileRadius,
                      Theme::tint(categoryTintIndex(slider_.category)));
        top->addWidget(tile);
        auto* title = new TextLabel(DesignFont::inter(CheckRow::titleSize), Theme::ink());
        title->setText(toQString(slider_.title));
        top->addWidget(title, 1);
        top->addSpacing(static_cast<int>(CheckRow::minimumSpacer));
        top->addWidget(value_);
        top->addWidget(include_);
        stack->addLayout(top);
        stack->addWidget(control_);
        // The include button reads the title and the slider the value: the texts are read there
        // only.
        accessibility::hide(*title);
        accessibility::hide(*value_);

        connect(include_, &QAbstractButton::clicked, this, [this, changed] {
            if (draft_.sliderVals.erase(slider_.id) == 0) {
                draft_.sliderVals[slider_.id] = slider_.defaultValue;
            }
            changed();
        });
        connect(control_, &DoubleSlider::moved, this, [this, changed](double value) {
            draft_.sliderVals[slider_.id] = value;
            changed();
        });
    }

    void showChoice() {
        const auto found = draft_.sliderVals.find(slider_.id);
        const bool included = found != draft_.sliderVals.end();
        const double value = included ? found->second : slider_.defaultValue;
        include_->setOn(included);
        value_->setVisible(included);
        value_->setText(toQString(slider_.display(value)));
        value_->setFixedSize(value_->sizeHint());
        control_->setVisible(included);
        if (!control_->isSliderDown()) {
            control_->setDoubleValue(value);
        }
    }

  private:
    SliderTweak slider_;
    SceneDraft& draft_;
    CheckMark* include_;
    TextLabel* value_;
    DoubleSlider* control_;
};

ScenePicker::ScenePicker(const Catalog& catalog, SceneDraft& draft, std::function<void()> edited,
                         QWidget* parent)
    : QWidget(parent), catalog_(catalog), draft_(draft), edited_(std::move(edited)) {
    setObjectName(QString::fromLatin1(pickerNames::picker));
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(kSectionSpacing);
    stack->addWidget(makeSelectAllRow());
    stack->addWidget(makePowerSection());
    stack->addWidget(makeSliderSection());
    for (TweakCategory category : catalog_.categories()) {
        stack->addWidget(makeCategorySection(category));
    }
    showChoices();
}

ScenePicker::~ScenePicker() = default;

QWidget* ScenePicker::makeSelectAllRow() {
    auto* row = new QWidget;
    auto* items = new QHBoxLayout(row);
    items->setContentsMargins(0, 0, 0, kSelectAllBottom);
    items->setSpacing(kSelectAllSpacing);
    const DesignFont& font = DesignFont::inter(kSelectAllSize, FontWeight::medium);
    auto* all = new TextButton(font, Theme::accent());
    all->setObjectName(QString::fromLatin1(pickerNames::selectAll));
    all->setLabel(QStringLiteral("Select all"));
    auto* clear = new TextButton(font, Theme::secondary());
    clear->setObjectName(QString::fromLatin1(pickerNames::clear));
    clear->setLabel(QStringLiteral("Clear"));
    items->addWidget(all);
    items->addWidget(clear);
    items->addStretch(1);
    connect(all, &QAbstractButton::clicked, this, [this] {
        draft_.selectAll(catalog_);
        changed();
    });
    connect(clear, &QAbstractButton::clicked, this, [this] {
        draft_.clearAll();
        changed();
    });
    return row;
}

CheckRow* ScenePicker::checkRow(const std::string& id, const std::string& symbol,
                                const std::string& title, int tint,
                                std::set<std::string> SceneDraft::*chosen) {
    auto* row = new CheckRow(symbol, toQString(title), tint);
    row->setObjectName(pickerNames::check(id));
    connect(row, &QAbstractButton::clicked, this, [this, id, chosen] {
        std::set<std::string>& ids = draft_.*chosen;
        if (ids.erase(id) == 0) {
            ids.insert(id);
        }
        changed();
    });
    return row;
}

QWidget* ScenePicker::makePowerSection() {
    auto* power = new QWidget;
    QVBoxLayout* rows = section(*power, kRowSpacing, QStringLiteral("Power"));
    lidRow_ = new CheckRow(kLidSymbol, QString::fromLatin1(kLidTitle), kPowerTint);
    lidRow_->setObjectName(pickerNames::check(lidCloseID));
    connect(lidRow_, &QAbstractButton::clicked, this, [this] {
        draft_.lid = !draft_.lid;
        changed();
    });
    rows->addWidget(lidRow_);
    for (const PowerTweak& toggle : Catalog::powerToggles()) {
        const auto symbol = Icons::tweakMap().find(toggle.id);
        CheckRow* row =
            checkRow(toggle.id, symbol != Icons::tweakMap().end() ? symbol->second : kLidSymbol,
                     toggle.title, kPowerTint, &SceneDraft::powerIDs);
        rows->addWidget(row);
        powerRows_.emplace_back(toggle.id, row);
    }
    return power;
}

QWidget* ScenePicker::makeSliderSection() {
    auto* sliders = new QWidget;
    QVBoxLayout* rows = section(*sliders, kSliderSpacing, QStringLiteral("Sliders"));
    for (const SliderTweak& slider : Catalog::sliderTweaks()) {
        auto* choice = new SliderChoice(slider, draft_, [this] { changed(); });
        rows->addWidget(choice);
        sliders_.push_back(choice);
    }
    return sliders;
}

QWidget* ScenePicker::makeCategorySection(TweakCategory category) {
    auto* tweaks = new QWidget;
    QVBoxLayout* rows = section(*tweaks, kRowSpacing, toQString(displayName(category)));
    for (const Tweak& tweak : catalog_.tweaks(category)) {
        CheckRow* row = checkRow(tweak.id, Icons::tweak(tweak.id, tweak.category), tweak.title,
                                 categoryTintIndex(tweak.category), &SceneDraft::tweakIDs);
        rows->addWidget(row);
        tweakRows_.emplace_back(tweak.id, row);
    }
    return tweaks;
}

void ScenePicker::changed() {
    edited_();
}

void ScenePicker::showChoices() {
    lidRow_->setOn(draft_.lid);
    for (const auto& [id, row] : powerRows_) {
        row->setOn(draft_.powerIDs.contains(id));
    }
    for (SliderChoice* slider : sliders_) {
        slider->showChoice();
    }
    for (const auto& [id, row] : tweakRows_) {
        row->setOn(draft_.tweakIDs.contains(id));
    }
}

}  // namespace velmora
