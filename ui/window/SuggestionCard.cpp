// Layout, contents and action of the suggestion card.
#include "ui/window/SuggestionCard.hpp"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

#include "ui/look/Icons.hpp"
#include "ui/look/Theme.hpp"
#include "ui/model/AppModel.hpp"
#include "ui/widgets/Accessibility.hpp"
#include "ui/widgets/SymbolView.hpp"
#include "ui/widgets/Text.hpp"
#include "ui/widgets/TextLabel.hpp"
#include "ui/window/MainWindow.hpp"

namespace velmora {

namespace {

constexpr int kPadding = 11;
constexpr int kSpacing = 7;
constexpr qreal kKickerSize = 8.5;
constexpr qreal kKickerTracking = 0.6;
constexpr const char* kKicker = "SUGGESTED";
constexpr int kRowSpacing = 9;
constexpr qreal kTileSide = 32;
constexpr qreal kTileRadius = 9;
constexpr qreal kTileSymbolSize = 14;
constexpr qreal kTileSymbolOpacity = 0.78;
constexpr int kPowerTint = 5;
constexpr int kRecipeTint = 2;
constexpr int kTitleSpacing = 1;
constexpr qreal kTitleSize = 12;
constexpr qreal kSubtitleSize = 9;
constexpr int kTrailingGap = 2;
constexpr qreal kReasonSize = 9.5;
constexpr int kReasonLines = 2;
constexpr const char* kPowerSymbol = "powersleep";
constexpr const char* kPowerTitle = "Never sleep";
constexpr const char* kPowerSubtitle = "Lid-closed awake";
constexpr const char* kItemsSuffix = " power-ups";

// The catalog's recipe with exactly this id.
const Recipe* recipeOf(const AppModel& model, const std::optional<std::string>& id) {
    if (!id) {
        return nullptr;
    }
    for (const Recipe& recipe : model.catalog().recipes()) {
        if (recipe.id == *id) {
            return &recipe;
        }
    }
    return nullptr;
}

// The card's children draw; the card takes every click and is read as one button, its texts in
// its name and description, not once more as texts of their own inside it.
template <class Widget>
Widget* inert(Widget* widget) {
    widget->setAttribute(Qt::WA_TransparentForMouseEvents);
    accessibility::hide(*widget);
    return widget;
}

}  // namespace

SuggestionCard::SuggestionCard(MainWindow& window, QWidget* parent)
    : PaintedButton(parent), window_(window) {
    setFocusShape(FocusShape::rounded, Card::listRadius);
    setObjectName(QStringLiteral("sidebar.suggestion"));
    setCursor(Qt::PointingHandCursor);
    // Its height follows its width (the reason wraps), so it must not be fixed at its hint.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(kPadding, kPadding, kPadding, kPadding);
    column->setSpacing(kSpacing);
    auto* kicker = inert(new TextLabel(
        DesignFont::inter(kKickerSize, FontWeight::bold, kKickerTracking), Theme::faint()));
    kicker->setText(QString::fromLatin1(kKicker));
    column->addWidget(kicker);

    auto* row = new QHBoxLayout;
    row->setSpacing(kRowSpacing);
    tile_ = inert(new SymbolView(kPowerSymbol, kTileSymbolSize,
                                 withOpacity(Theme::ink(), kTileSymbolOpacity)));
    tile_->setTile(kTileSide, kTileRadius, Theme::tint(kPowerTint));
    row->addWidget(tile_);
    auto* titles = new QVBoxLayout;
    titles->setSpacing(kTitleSpacing);
    title_ =
        inert(new TextLabel(DesignFont::inter(kTitleSize, FontWeight::semibold), Theme::ink()));
    subtitle_ = inert(new TextLabel(DesignFont::monospaced(kSubtitleSize), Theme::faint()));
    titles->addWidget(title_);
    titles->addWidget(subtitle_);
    row->addLayout(titles, 1);
    row->addSpacing(kTrailingGap);
    column->addLayout(row);

    reason_ = inert(new TextLabel(DesignFont::inter(kReasonSize), Theme::secondary()));
    reason_->setLineLimit(kReasonLines);
    column->addWidget(reason_);

    connect(this, &QAbstractButton::clicked, this, [this] {
        if (!shown_) {
            return;
        }
        if (shown_->isPower) {
            window_.change([](WindowState& state) { state.showPowerTip(); });
        } else if (const Recipe* recipe = recipeOf(window_.model, shown_->recipeID)) {
            window_.openRecipe(*recipe);
        }
    });
}

void SuggestionCard::show(const std::optional<Suggestion>& suggestion) {
    const Recipe* recipe = suggestion ? recipeOf(window_.model, suggestion->recipeID) : nullptr;
    if (!suggestion || (!suggestion->isPower && recipe == nullptr)) {
        shown_.reset();
        setVisible(false);
        return;
    }
    shown_ = suggestion;
    const bool power = suggestion->isPower;
    tile_->setSymbol(power ? std::string(kPowerSymbol) : Icons::recipe(*suggestion->recipeID));
    tile_->setTileFill(Theme::tint(power ? kPowerTint : kRecipeTint));
    title_->setText(power ? QString::fromLatin1(kPowerTitle) : toQString(recipe->title));
    subtitle_->setText(power ? QString::fromLatin1(kPowerSubtitle)
                             : QString::number(recipe->items.size()) +
                                   QString::fromLatin1(kItemsSuffix));
    reason_->setText(toQString(suggestion->reason));
    setAccessibleName(title_->text());
    setAccessibleDescription(
        QStringList{QString::fromLatin1(kKicker), subtitle_->text(), reason_->text()}.join(
            QStringLiteral(". ")));
    setVisible(true);
}

CardShadow SuggestionCard::cardShadow() const {
    return {radius, Card::restingBlur, Card::restingOffsetY};
}

void SuggestionCard::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    paintCardSurface(painter, QRectF(rect()), radius);
}

}  // namespace velmora
