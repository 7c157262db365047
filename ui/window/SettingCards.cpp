// Layout of the keep-awake and dark-mode cards, and what their controls ask of the model.
#include "ui/window/SettingCards.hpp"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

#include "ui/components/ApplyPill.hpp"
#include "ui/components/Chip.hpp"
#include "ui/components/StarButton.hpp"
#include "ui/look/Fonts.hpp"
#include "ui/look/RoundedShapes.hpp"
#include "ui/look/Theme.hpp"
#include "ui/model/AppModel.hpp"
#include "ui/sync/ModelSync.hpp"
#include "ui/widgets/Accessibility.hpp"
#include "ui/widgets/Switch.hpp"
#include "ui/widgets/SymbolView.hpp"
#include "ui/widgets/TextLabel.hpp"

namespace velmora {

namespace {

constexpr const char* kAdmin = "ADMIN";
constexpr const char* kLidSymbol = "powersleep";
constexpr int kLidTint = 5;
constexpr qreal kTileRadius = 11;
constexpr int kTitleRowSpacing = 6;

// The never-sleep card.
constexpr int kGridPadding = 13;
constexpr int kGridSpacing = 8;
constexpr qreal kGridTileSide = 38;
constexpr qreal kGridSymbolSize = 16;
constexpr qreal kGridSymbolOpacity = 0.75;
constexpr int kGridTitleSpacing = 2;
constexpr qreal kGridTitleSize = 13.5;
constexpr qreal kGridSubtitleSize = 11;
constexpr int kGridMinimumSpacer = 7;
constexpr int kStateSpacing = 5;
constexpr int kDotSide = 5;
constexpr qreal kOffDotOpacity = 0.45;
constexpr qreal kStateSize = 9;
constexpr const char* kGridTitle = "Never sleep";
constexpr const char* kGridSubtitle = "Stay awake with the lid closed";
constexpr const char* kOn = "On";
constexpr const char* kOff = "Off";

// The two setting cards.
constexpr int kSettingPadding = 14;
constexpr int kSettingSpacing = 12;
constexpr qreal kSettingTileSide = 40;
constexpr qreal kSettingSymbolSize = 18;
constexpr qreal kSettingSymbolOpacity = 0.7;
constexpr qreal kSettingTitleSize = 13;
constexpr qreal kSettingTextSize = 11;
constexpr int kSettingMinimumSpacer = 10;
constexpr int kPowerTextSpacing = 3;
constexpr int kPowerControlsSpacing = 10;
constexpr int kDisplayTextSpacing = 2;
constexpr const char* kPowerTitle = "Keep awake with the lid closed";
constexpr const char* kPowerText =
    "Your Mac keeps running when you shut the lid \u2014 ideal docked to a display.";
constexpr const char* kDisplaySymbol = "circle.lefthalf.filled";
constexpr int kDisplayTint = 0;
constexpr const char* kDisplayTitle = "Dark Mode";
constexpr const char* kDisplayText = "Switch the whole system to dark appearance.";

SymbolView* tile(const char* symbol, qreal side, qreal symbolSize, qreal opacity, int tint) {
    auto* view = new SymbolView(symbol, symbolSize, withOpacity(Theme::ink(), opacity));
    view->setTile(side, kTileRadius, Theme::tint(tint));
    return view;
}

TextLabel* text(const QString& value, qreal size, FontWeight weight, const QColor& colour,
                int lineLimit) {
    auto* label = new TextLabel(DesignFont::inter(size, weight), colour);
    label->setLineLimit(lineLimit);
    label->setText(value);
    return label;
}

// A title followed by the "ADMIN" chip.
QHBoxLayout* titleWithChip(TextLabel* title) {
    auto* row = new QHBoxLayout;
    row->setSpacing(kTitleRowSpacing);
    row->addWidget(title);
    row->addWidget(new Chip(QString::fromLatin1(kAdmin)), 0, Qt::AlignVCenter);
    row->addStretch(1);
    return row;
}

StarButton* favouritePowerStar(AppModel& model) {
    auto* star = new StarButton(model.favoritePower(), [&model] { model.toggleFavoritePower(); });
    star->setObjectName(QString::fromLatin1(settingNames::lidStar));
    return star;
}

// The card's switch, which reads the card: the title and the text beside it, once.
Switch* settingSwitch(const char* name, TextLabel& title, TextLabel& detail) {
    auto* toggle = new Switch;
    toggle->setObjectName(QString::fromLatin1(name));
    accessibility::hide(title);
    accessibility::hide(detail);
    accessibility::readsRow(*toggle, title.text(), detail.text());
    return toggle;
}

class Dot : public QWidget {
  public:
    Dot() { setFixedSize(kDotSide, kDotSide); }
    void setColour(const QColor& colour) {
        if (colour != colour_) {
            colour_ = colour;
            update();
        }
    }

  protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        drawEllipseShape(painter, QRectF(rect()), Qt::NoPen, colour_);
    }

  private:
    QColor colour_;
};

}  // namespace

NeverSleepCard::NeverSleepCard(AppModel& model, QWidget* parent)
    : Card(gridRadius, parent), model_(model) {
    setObjectName(QString::fromLatin1(settingNames::neverSleepCard));
    setMinimumHeight(minimumCardHeight);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(kGridPadding, kGridPadding, kGridPadding, kGridPadding);
    column->setSpacing(kGridSpacing);

    auto* top = new QHBoxLayout;
    top->addWidget(tile(kLidSymbol, kGridTileSide, kGridSymbolSize, kGridSymbolOpacity, kLidTint));
    top->addStretch(1);
    // Its title is read as a text of its own, just before the star.
    star_ = favouritePowerStar(model);
    top->addWidget(star_);
    column->addLayout(top);

    auto* titles = new QVBoxLayout;
    titles->setSpacing(kGridTitleSpacing);
    titles->addLayout(titleWithChip(text(QString::fromLatin1(kGridTitle), kGridTitleSize,
                                         FontWeight::semibold, Theme::ink(), 1)));
    titles->addWidget(text(QString::fromLatin1(kGridSubtitle), kGridSubtitleSize,
                           FontWeight::regular, Theme::secondary(), 1));
    column->addLayout(titles);
    column->addSpacerItem(
        new QSpacerItem(0, kGridMinimumSpacer, QSizePolicy::Minimum, QSizePolicy::Expanding));

    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(kStateSpacing);
    auto* dot = new Dot;
    // Its colour repeats the "On"/"Off" beside it, which is read.
    accessibility::hide(*dot);
    dot_ = dot;
    bottom->addWidget(dot);
    state_ = new TextLabel(DesignFont::monospaced(kStateSize), Theme::faint());
    bottom->addWidget(state_);
    bottom->addStretch(1);
    pill_ = new ApplyPill(false, [&model] { model.toggleKeepAwakeWithLidClosed(); });
    pill_->setObjectName(QString::fromLatin1(settingNames::lidPill));
    bottom->addWidget(pill_);
    column->addLayout(bottom);

    follow(ModelSync::of(model).cache());
}

void NeverSleepCard::follow(const SyncCache& /*now*/) {
    const bool on = model_.keepAwakeWithLidClosed();
    star_->setOn(model_.favoritePower());
    pill_->setApplied(on);
    static_cast<Dot*>(dot_)->setColour(on ? Theme::accent()
                                          : withOpacity(Theme::faint(), kOffDotOpacity));
    state_->setText(QString::fromLatin1(on ? kOn : kOff));
}

QString NeverSleepCard::stateText() const {
    return state_->text();
}

PowerCard::PowerCard(AppModel& model, QWidget* parent) : Card(listRadius, parent), model_(model) {
    setObjectName(QString::fromLatin1(settingNames::powerCard));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(kSettingPadding, kSettingPadding, kSettingPadding, kSettingPadding);
    row->setSpacing(kSettingSpacing);
    row->addWidget(
        tile(kLidSymbol, kSettingTileSide, kSettingSymbolSize, kSettingSymbolOpacity, kLidTint), 0,
        Qt::AlignTop);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(kPowerTextSpacing);
    TextLabel* title = text(QString::fromLatin1(kPowerTitle), kSettingTitleSize,
                            FontWeight::semibold, Theme::ink(), 0);
    TextLabel* detail = text(QString::fromUtf8(kPowerText), kSettingTextSize, FontWeight::regular,
                             Theme::secondary(), 0);
    texts->addLayout(titleWithChip(title));
    texts->addWidget(detail);
    texts->addStretch(1);
    row->addLayout(texts, 1);
    row->addSpacing(kSettingMinimumSpacer);

    auto* controls = new QVBoxLayout;
    controls->setSpacing(kPowerControlsSpacing);
    star_ = favouritePowerStar(model);
    // The switch reads the title, which is not read on its own.
    star_->setSubject(title->text());
    controls->addWidget(star_, 0, Qt::AlignRight);
    toggle_ = settingSwitch(settingNames::lidSwitch, *title, *detail);
    controls->addWidget(toggle_, 0, Qt::AlignRight);
    controls->addStretch(1);
    row->addLayout(controls);
    connect(toggle_, &Switch::clicked, this, [&model] { model.toggleKeepAwakeWithLidClosed(); });

    follow(ModelSync::of(model).cache());
}

void PowerCard::follow(const SyncCache& /*now*/) {
    star_->setOn(model_.favoritePower());
    toggle_->setOn(model_.keepAwakeWithLidClosed());
}

DisplayCard::DisplayCard(AppModel& model, QWidget* parent)
    : Card(listRadius, parent), model_(model) {
    setObjectName(QString::fromLatin1(settingNames::displayCard));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(kSettingPadding, kSettingPadding, kSettingPadding, kSettingPadding);
    row->setSpacing(kSettingSpacing);
    row->addWidget(tile(kDisplaySymbol, kSettingTileSide, kSettingSymbolSize, kSettingSymbolOpacity,
                        kDisplayTint));
    auto* texts = new QVBoxLayout;
    texts->setSpacing(kDisplayTextSpacing);
    TextLabel* title = text(QString::fromLatin1(kDisplayTitle), kSettingTitleSize,
                            FontWeight::semibold, Theme::ink(), 0);
    TextLabel* detail = text(QString::fromLatin1(kDisplayText), kSettingTextSize,
                             FontWeight::regular, Theme::secondary(), 0);
    texts->addWidget(title);
    texts->addWidget(detail);
    row->addLayout(texts, 1);
    row->addSpacing(kSettingMinimumSpacer);
    toggle_ = settingSwitch(settingNames::darkSwitch, *title, *detail);
    row->addWidget(toggle_);
    connect(toggle_, &Switch::clicked, this, [&model] { model.toggleDarkMode(); });

    follow(ModelSync::of(model).cache());
}

void DisplayCard::follow(const SyncCache& /*now*/) {
    toggle_->setOn(model_.darkMode());
}

}  // namespace velmora
