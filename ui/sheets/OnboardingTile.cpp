// Tile: symbol 16 in a 22-wide column, title Inter 13 semibold over the blurb in Inter 10.5,
// spaced 11, padded 11, corners of 13. Device card: symbol 34 over Inter 14 semibold, spaced 10,
// padded 26 above and below, corners of 16.
#include "ui/sheets/OnboardingTile.hpp"

#include <QPainter>
#include <cmath>

#include "ui/look/FocusRing.hpp"
#include "ui/look/Fonts.hpp"
#include "ui/look/Symbols.hpp"
#include "ui/look/Theme.hpp"

namespace velmora {

namespace {

constexpr qreal kChosenFillOpacity = 0.08;
constexpr qreal kRestingStroke = 1.0;
// A chosen choice is already outlined in the accent, where the ring would vanish into it: its
// ring runs inside the outline instead, this far clear of it.
constexpr qreal kRingGap = 1.5;

constexpr qreal kTilePadding = 11;
constexpr qreal kTileSpacing = 11;
constexpr qreal kTileRadius = 13;
constexpr qreal kTileChosenStroke = 1.5;
constexpr qreal kTileSymbolSize = 16;
constexpr qreal kTileSymbolColumn = 22;
constexpr qreal kTileTextSpacing = 1;
constexpr qreal kTileMinimumSpacer = 4;
constexpr qreal kCheckSize = 15;
constexpr qreal kTitleSize = 13;
constexpr qreal kBlurbSize = 10.5;
// Narrow enough for two tiles side by side in the smallest sheet.
constexpr qreal kTileMinimumWidth = 160;

constexpr qreal kCardPaddingV = 26;
constexpr qreal kCardSpacing = 10;
constexpr qreal kCardRadius = 16;
constexpr qreal kCardChosenStroke = 1.6;
constexpr qreal kCardSymbolSize = 34;
constexpr qreal kCardTitleSize = 14;

const DesignFont& titleFont() {
    return DesignFont::inter(kTitleSize, FontWeight::semibold);
}

const DesignFont& blurbFont() {
    return DesignFont::inter(kBlurbSize);
}

const DesignFont& cardTitleFont() {
    return DesignFont::inter(kCardTitleSize, FontWeight::semibold);
}

int ceilToInt(qreal value) {
    return static_cast<int>(std::ceil(value));
}

// The rounded surface of a choice: a faint accent wash and an accent outline when chosen, else
// the card colour with a hairline outline.
void paintChoiceSurface(QPainter& painter, const QRectF& frame, qreal radius, bool chosen,
                        qreal chosenStroke) {
    const qreal stroke = chosen ? chosenStroke : kRestingStroke;
    const QRectF edge = frame.adjusted(stroke / 2, stroke / 2, -stroke / 2, -stroke / 2);
    painter.setPen(QPen(chosen ? Theme::accent() : Theme::hairline(), stroke));
    painter.setBrush(chosen ? withOpacity(Theme::accent(), kChosenFillOpacity) : Theme::card());
    painter.drawRoundedRect(edge, radius, radius);
}

// The focus ring: along the edge, or inside the outline of a chosen choice.
void paintChoiceRing(QPainter& painter, const QRectF& frame, qreal radius, bool chosen,
                     qreal chosenStroke) {
    const qreal inset = chosen ? chosenStroke + kRingGap : 0;
    focus::paintRing(painter, frame.adjusted(inset, inset, -inset, -inset), radius - inset);
}

void makeChoice(QAbstractButton& button, const QString& title) {
    button.setCursor(Qt::PointingHandCursor);
    button.setAccessibleName(title);
}

}  // namespace

OnboardingTile::OnboardingTile(std::string symbol, QString title, QString blurb, QWidget* parent)
    : StateButton(parent),
      symbol_(std::move(symbol)),
      title_(std::move(title)),
      blurb_(std::move(blurb)) {
    setFocusShape(FocusShape::own);
    makeChoice(*this, title_);
    setAccessibleDescription(blurb_);
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

qreal OnboardingTile::textWidth(qreal width) const {
    qreal trailing = kTileSpacing + kTileMinimumSpacer;
    if (isOn()) {
        trailing += kTileSpacing + Symbols::boxSide(kCheckSize);
    }
    return width - 2 * kTilePadding - kTileSymbolColumn - kTileSpacing - trailing;
}

QSize OnboardingTile::sizeHint() const {
    const qreal width = 2 * kTilePadding + kTileSymbolColumn + 3 * kTileSpacing +
                        kTileMinimumSpacer + Symbols::boxSide(kCheckSize) +
                        std::max(titleFont().width(title_), blurbFont().width(blurb_));
    return {ceilToInt(width), heightForWidth(ceilToInt(width))};
}

QSize OnboardingTile::minimumSizeHint() const {
    return {ceilToInt(kTileMinimumWidth), heightForWidth(ceilToInt(kTileMinimumWidth))};
}

int OnboardingTile::heightForWidth(int width) const {
    // The title wraps when it must; the blurb keeps to one line.
    const auto titleLines = titleFont().lines(title_, textWidth(width)).size();
    const qreal text =
        static_cast<qreal>(std::max<std::size_t>(titleLines, 1)) * titleFont().lineSpacing() +
        kTileTextSpacing + blurbFont().lineSpacing();
    const qreal content =
        std::max({text, Symbols::boxSide(kTileSymbolSize), Symbols::boxSide(kCheckSize)});
    return ceilToInt(content + 2 * kTilePadding);
}

void OnboardingTile::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool chosen = isOn();
    paintChoiceSurface(painter, QRectF(rect()), kTileRadius, chosen, kTileChosenStroke);
    if (hasFocus()) {
        paintChoiceRing(painter, QRectF(rect()), kTileRadius, chosen, kTileChosenStroke);
    }

    const qreal middle = height() / 2.0;
    Symbols::draw(painter, QPointF(kTilePadding + kTileSymbolColumn / 2, middle), kTileSymbolSize,
                  symbol_, chosen ? Theme::accent() : Theme::secondary());

    const qreal available = textWidth(width());
    const std::vector<QString> titleLines = titleFont().lines(title_, available);
    const qreal textHeight = static_cast<qreal>(titleLines.size()) * titleFont().lineSpacing() +
                             kTileTextSpacing + blurbFont().lineSpacing();
    const qreal x = kTilePadding + kTileSymbolColumn + kTileSpacing;
    qreal y = middle - textHeight / 2;
    for (const QString& line : titleLines) {
        titleFont().draw(painter, QPointF(x, y), line, Theme::ink());
        y += titleFont().lineSpacing();
    }
    y += kTileTextSpacing;
    blurbFont().draw(painter, QPointF(x, y), blurbFont().elided(blurb_, available),
                     Theme::secondary());

    if (chosen) {
        const qreal check = Symbols::boxSide(kCheckSize);
        Symbols::draw(painter, QPointF(width() - kTilePadding - check / 2, middle), kCheckSize,
                      "checkmark.circle.fill", Theme::accent());
    }
}

DeviceCard::DeviceCard(std::string symbol, QString title, QWidget* parent)
    : StateButton(parent), symbol_(std::move(symbol)), title_(std::move(title)) {
    setFocusShape(FocusShape::own);
    makeChoice(*this, title_);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize DeviceCard::sizeHint() const {
    const qreal height = 2 * kCardPaddingV + Symbols::boxSide(kCardSymbolSize) + kCardSpacing +
                         cardTitleFont().lineSpacing();
    const qreal width = std::max(Symbols::boxSide(kCardSymbolSize), cardTitleFont().width(title_)) +
                        2 * kCardPaddingV;
    return {ceilToInt(width), ceilToInt(height)};
}

QSize DeviceCard::minimumSizeHint() const {
    return sizeHint();
}

void DeviceCard::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool chosen = isOn();
    paintChoiceSurface(painter, QRectF(rect()), kCardRadius, chosen, kCardChosenStroke);
    if (hasFocus()) {
        paintChoiceRing(painter, QRectF(rect()), kCardRadius, chosen, kCardChosenStroke);
    }
    const QColor colour = chosen ? Theme::accent() : Theme::secondary();
    const qreal symbol = Symbols::boxSide(kCardSymbolSize);
    const qreal content = symbol + kCardSpacing + cardTitleFont().lineSpacing();
    const qreal top = (height() - content) / 2;
    Symbols::draw(painter, QPointF(width() / 2.0, top + symbol / 2), kCardSymbolSize, symbol_,
                  colour);
    const qreal titleWidth = cardTitleFont().width(title_);
    cardTitleFont().draw(painter, QPointF((width() - titleWidth) / 2, top + symbol + kCardSpacing),
                         title_, colour);
}

}  // namespace velmora
