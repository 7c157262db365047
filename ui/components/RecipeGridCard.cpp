// RecipeGridCard: padding 13; a 38 tile, the title block and the footer, spaced 8; at least 120
// high; corners of 15.
#include "ui/components/RecipeGridCard.hpp"

#include <QPainter>
#include <cmath>

#include "ui/components/ApplyPill.hpp"
#include "ui/components/StarButton.hpp"
#include "ui/look/Fonts.hpp"
#include "ui/look/Icons.hpp"
#include "ui/look/RoundedShapes.hpp"
#include "ui/look/Symbols.hpp"
#include "ui/look/Theme.hpp"
#include "ui/model/AppModel.hpp"
#include "ui/sync/ModelSync.hpp"
#include "ui/widgets/CardLayers.hpp"
#include "ui/widgets/Text.hpp"

namespace velmora {

namespace {

constexpr qreal kPadding = 13;
constexpr qreal kStackSpacing = 8;
constexpr qreal kMinimumSpacer = 7;
constexpr qreal kMinimumHeight = 120;
constexpr qreal kNaturalWidth = 220;

constexpr qreal kTileSide = 38;
constexpr qreal kTileRadius = 11;
constexpr qreal kTileSymbolSize = 17;
constexpr qreal kTileSymbolOpacity = 0.78;
constexpr qreal kTopRowSpacing = 4;
constexpr qreal kChevronSize = 11;
constexpr qreal kRestingChevronOpacity = 0.55;

constexpr qreal kTitleSize = 13.5;
constexpr qreal kSummarySize = 11;
constexpr qreal kTitleSpacing = 2;

constexpr qreal kDotSide = 5;
constexpr qreal kDotSpacing = 5;
constexpr qreal kRestingDotOpacity = 0.45;
constexpr qreal kCountSize = 9;

constexpr qreal kHoverBlur = 7;
constexpr qreal kHoverOffsetY = 3;
constexpr qreal kHoverOutlineOpacity = 0.3;
constexpr qreal kOutlineWidth = 1;
// The middle of the surface lies clear of the hover's outline, and then as far in as any card's
// middle lies from its edge.
constexpr int kMiddleInset = static_cast<int>(kOutlineWidth) + SurfaceMiddle::kEdgeInset;
constexpr std::chrono::milliseconds kHoverTime{140};

const DesignFont& titleFont() {
    return DesignFont::inter(kTitleSize, FontWeight::semibold);
}

const DesignFont& summaryFont() {
    return DesignFont::inter(kSummarySize);
}

const DesignFont& countFont() {
    return DesignFont::monospaced(kCountSize);
}

qreal titleBlockHeight() {
    return titleFont().lineSpacing() + kTitleSpacing + summaryFont().lineSpacing();
}

qreal along(qreal from, qreal to, qreal t) {
    return from + (to - from) * t;
}

}  // namespace

namespace recipeCardNames {

QString card(std::string_view id) {
    return QStringLiteral("recipeCard.") + toQString(id);
}

QString star(std::string_view id) {
    return QStringLiteral("star.") + toQString(id);
}

QString pill(std::string_view id) {
    return QStringLiteral("pill.") + toQString(id);
}

}  // namespace recipeCardNames

RecipeGridCard::RecipeGridCard(AppModel& model, Recipe recipe, int index,
                               std::function<void()> onOpen, QWidget* parent)
    : PaintedButton(parent),
      model_(model),
      recipe_(std::move(recipe)),
      index_(index),
      star_(new StarButton(
          false, [this] { model_.toggleFavorite(recipe_); }, this)),
      pill_(new ApplyPill(
          false, [this] { model_.toggle(recipe_); }, this)),
      middle_(new SurfaceMiddle(*this)),
      contents_(new ContentLayer(*this, [this](QPainter& painter) { paintContents(painter); })),
      hover_(*this, kHoverTime, QEasingCurve::OutQuad),
      lastShadow_(cardShadow()) {
    setFocusShape(FocusShape::rounded, Card::gridRadius);
    setObjectName(recipeCardNames::card(recipe_.id));
    star_->setObjectName(recipeCardNames::star(recipe_.id));
    star_->setSubject(toQString(recipe_.title));
    pill_->setObjectName(recipeCardNames::pill(recipe_.id));
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(toQString(recipe_.title));
    // The footer's count is read after the summary.
    setAccessibleDescription(toQString(recipe_.summary) + QLatin1Char(' ') + countText());
    connect(this, &QAbstractButton::clicked, this, [onOpen = std::move(onOpen)] { onOpen(); });
    hover_.onStep = [this] {
        CardCanvas::shadowChanged(*this, lastShadow_);
        lastShadow_ = cardShadow();
    };

    // The surface's middle under everything, the contents over it and under the star and pill.
    middle_->lower();
    contents_->stackUnder(star_);

    follow(ModelSync::of(model_).cache());
}

void RecipeGridCard::follow(const SyncCache& now) {
    star_->setOn(model_.isFavorite(recipe_));
    const bool applied = now.isApplied(recipe_);
    if (applied != pill_->isApplied()) {
        pill_->setApplied(applied);
        placeChildren();  // the pill's width follows its state
        update();
    }
}

QString RecipeGridCard::countText() const {
    return QString::number(recipe_.items.size()) + QStringLiteral(" power-ups");
}

CardShadow RecipeGridCard::cardShadow() const {
    const qreal t = hover_.value();
    return {Card::gridRadius, along(Card::restingBlur, kHoverBlur, t),
            along(Card::restingOffsetY, kHoverOffsetY, t)};
}

QSize RecipeGridCard::sizeHint() const {
    const qreal footer = std::max<qreal>(pill_->sizeHint().height(), kDotSide);
    const qreal natural = 2 * kPadding + kTileSide + kStackSpacing + titleBlockHeight() +
                          kStackSpacing + kMinimumSpacer + kStackSpacing + footer;
    return {static_cast<int>(kNaturalWidth),
            static_cast<int>(std::ceil(std::max(kMinimumHeight, natural)))};
}

QSize RecipeGridCard::minimumSizeHint() const {
    const qreal topRow = kTileSide + kTopRowSpacing + star_->width() + kTopRowSpacing +
                         Symbols::boxSide(kChevronSize);
    const qreal footer = pill_->sizeHint().width() + kStackSpacing + kDotSide + kDotSpacing +
                         countFont().width(QStringLiteral("0 power-ups"));
    return {static_cast<int>(std::ceil(2 * kPadding + std::max(topRow, footer))),
            sizeHint().height()};
}

void RecipeGridCard::resizeEvent(QResizeEvent* /*event*/) {
    // The hover's outline lies along the edge, outside the middle.
    middle_->fit(rect(), Card::gridRadius, kMiddleInset);
    contents_->setGeometry(rect());
    placeChildren();
}

void RecipeGridCard::placeChildren() {
    const qreal chevron = Symbols::boxSide(kChevronSize);
    const qreal topMiddle = kPadding + kTileSide / 2;
    const QSize starSize = star_->size();
    star_->move(static_cast<int>(
                    std::round(width() - kPadding - chevron - kTopRowSpacing - starSize.width())),
                static_cast<int>(std::round(topMiddle - starSize.height() / 2.0)));
    const QSize pillSize = pill_->sizeHint();
    pill_->setGeometry(static_cast<int>(std::round(width() - kPadding - pillSize.width())),
                       static_cast<int>(std::round(height() - kPadding - pillSize.height())),
                       pillSize.width(), pillSize.height());
}

void RecipeGridCard::enterEvent(QEnterEvent* event) {
    hover_.setTarget(true);
    QAbstractButton::enterEvent(event);
}

void RecipeGridCard::leaveEvent(QEvent* event) {
    hover_.setTarget(false);
    QAbstractButton::leaveEvent(event);
}

SymbolLook RecipeGridCard::tileSymbol() const {
    return {Icons::recipe(recipe_.id), kTileSymbolSize,
            withOpacity(Theme::ink(), kTileSymbolOpacity)};
}

SymbolLook RecipeGridCard::chevronSymbol() const {
    return {"chevron.right", kChevronSize,
            mix(withOpacity(Theme::faint(), kRestingChevronOpacity), Theme::secondary(),
                hover_.value()),
            FontWeight::semibold};
}

void RecipeGridCard::showEvent(QShowEvent* event) {
    PaintedButton::showEvent(event);
    for (const SymbolLook& look : {tileSymbol(), chevronSymbol()}) {
        Symbols::prepare(look, devicePixelRatioF());
    }
}

void RecipeGridCard::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal t = hover_.value();
    const QRectF frame(rect());
    paintCardSurface(painter, frame, Card::gridRadius);
    if (t > 0) {
        const QRectF edge = frame.adjusted(kOutlineWidth / 2, kOutlineWidth / 2, -kOutlineWidth / 2,
                                           -kOutlineWidth / 2);
        drawRoundedShape(
            painter, edge, Card::gridRadius,
            QPen(withOpacity(Theme::accent(), kHoverOutlineOpacity * t), kOutlineWidth),
            Qt::transparent);
    }
}

void RecipeGridCard::paintContents(QPainter& painter) const {
    // Top row: the tile, then (trailing) the star and the chevron.
    const QRectF tile(kPadding, kPadding, kTileSide, kTileSide);
    fillRoundedRect(painter, tile, kTileRadius, Theme::tint(index_));
    Symbols::draw(painter, tile.center(), tileSymbol());
    const qreal chevron = Symbols::boxSide(kChevronSize);
    Symbols::draw(painter, QPointF(width() - kPadding - chevron / 2, tile.center().y()),
                  chevronSymbol());

    // Title block, one line each.
    const qreal textWidth = width() - 2 * kPadding;
    qreal y = kPadding + kTileSide + kStackSpacing;
    titleFont().draw(painter, QPointF(kPadding, y),
                     titleFont().elided(toQString(recipe_.title), textWidth), Theme::ink());
    y += titleFont().lineSpacing() + kTitleSpacing;
    summaryFont().draw(painter, QPointF(kPadding, y),
                       summaryFont().elided(toQString(recipe_.summary), textWidth),
                       Theme::secondary());

    // Footer, centred on the pill: the applied dot and the count.
    const qreal footerMiddle = QRectF(pill_->geometry()).center().y();
    drawEllipseShape(
        painter, QRectF(kPadding, footerMiddle - kDotSide / 2, kDotSide, kDotSide), Qt::NoPen,
        pill_->isApplied() ? Theme::accent() : withOpacity(Theme::faint(), kRestingDotOpacity));
    const QString count = countText();
    const qreal countX = kPadding + kDotSide + kDotSpacing;
    countFont().draw(painter, QPointF(countX, footerMiddle - countFont().lineSpacing() / 2),
                     countFont().elided(count, pill_->x() - kStackSpacing - countX),
                     Theme::faint());
}

}  // namespace velmora
