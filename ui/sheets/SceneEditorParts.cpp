// IconChoice: symbol 14 on a 30 square with corners of 8. FillCard: padding 14, a 44 tile with
// corners of 11, texts spaced 3, items spaced 12, corners of 14, outline 1.2, shadow blurred 4 and
// moved 2 down. DisclosureRow: chevron 10, items spaced 7, padded 4 above and below.
#include "ui/sheets/SceneEditorParts.hpp"

#include <QPainter>
#include <cmath>

#include "ui/look/Fonts.hpp"
#include "ui/look/Symbols.hpp"
#include "ui/look/Theme.hpp"
#include "ui/sheets/SceneEditorDialog.hpp"
#include "ui/widgets/Accessibility.hpp"

namespace velmora {

namespace {

constexpr qreal kIconSide = 30;
constexpr qreal kIconRadius = 8;
constexpr qreal kIconSymbolSize = 14;
constexpr qreal kChosenIconOpacity = 0.16;

constexpr qreal kCardPadding = 14;
constexpr qreal kCardSpacing = 12;
constexpr qreal kCardRadius = 14;
constexpr qreal kCardShadowBlur = 4;
constexpr qreal kCardShadowOffsetY = 2;
constexpr qreal kCardOutlineOpacity = 0.35;
constexpr qreal kCardOutlineWidth = 1.2;
constexpr qreal kCardTileSide = 44;
constexpr qreal kCardTileRadius = 11;
constexpr qreal kCardTileOpacity = 0.14;
constexpr qreal kCardTileSymbolSize = 19;
constexpr qreal kCardArrowSize = 20;
constexpr qreal kCardMinimumSpacer = 6;
constexpr qreal kCardTextSpacing = 3;
constexpr qreal kCardTitleSize = 14;
constexpr qreal kCardSubtitleSize = 11.5;
constexpr qreal kCardNaturalWidth = 430;
constexpr qreal kCardMinimumText = 120;
constexpr const char* kCardTitle = "Start from my current setup";
constexpr const char* kCardSubtitle = "Grab everything that's on right now, then fine-tune.";

constexpr qreal kDisclosureChevronSize = 10;
constexpr qreal kDisclosureSpacing = 7;
constexpr qreal kDisclosurePaddingV = 4;
constexpr qreal kDisclosureTextSize = 12.5;
constexpr qreal kDisclosureCountSize = 11;
// The platform's least length of a spacer between the text and the count.
constexpr qreal kDisclosureMinimumSpacer = 8;

int ceilToInt(qreal value) {
    return static_cast<int>(std::ceil(value));
}

const DesignFont& cardTitleFont() {
    return DesignFont::inter(kCardTitleSize, FontWeight::semibold);
}

const DesignFont& cardSubtitleFont() {
    return DesignFont::inter(kCardSubtitleSize);
}

const DesignFont& disclosureFont() {
    return DesignFont::inter(kDisclosureTextSize, FontWeight::medium);
}

const DesignFont& countFont() {
    return DesignFont::inter(kDisclosureCountSize);
}

// A readable name for a symbol: "cup.and.saucer.fill" reads "cup and saucer".
QString spokenSymbol(const std::string& symbol) {
    QString text = QString::fromStdString(symbol);
    if (text.endsWith(QStringLiteral(".fill"))) {
        text.chop(static_cast<qsizetype>(std::string_view(".fill").size()));
    }
    return text.replace(QLatin1Char('.'), QLatin1Char(' '));
}

}  // namespace

IconChoice::IconChoice(std::string symbol, QWidget* parent)
    : StateButton(parent), symbol_(std::move(symbol)) {
    setFocusShape(FocusShape::rounded, kIconRadius);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFixedSize(sizeHint());
    setAccessibleName(spokenSymbol(symbol_));
}

QSize IconChoice::sizeHint() const {
    return {ceilToInt(kIconSide), ceilToInt(kIconSide)};
}

void IconChoice::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool chosen = isOn();
    painter.setPen(Qt::NoPen);
    painter.setBrush(chosen ? withOpacity(Theme::accent(), kChosenIconOpacity) : Theme::card());
    painter.drawRoundedRect(QRectF(rect()), kIconRadius, kIconRadius);
    Symbols::draw(painter, QRectF(rect()).center(), kIconSymbolSize, symbol_,
                  chosen ? Theme::accent() : Theme::secondary());
}

FillCard::FillCard(QWidget* parent) : PaintedButton(parent) {
    setFocusShape(FocusShape::rounded, kCardRadius);
    setObjectName(QString::fromLatin1(editorNames::fill));
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setAccessibleName(QString::fromLatin1(kCardTitle));
    setAccessibleDescription(QString::fromLatin1(kCardSubtitle));
}

CardShadow FillCard::cardShadow() const {
    return {kCardRadius, kCardShadowBlur, kCardShadowOffsetY};
}

qreal FillCard::textWidth(qreal width) const {
    return width - 2 * kCardPadding - kCardTileSide - 3 * kCardSpacing - kCardMinimumSpacer -
           Symbols::boxSide(kCardArrowSize);
}

QSize FillCard::sizeHint() const {
    return {ceilToInt(kCardNaturalWidth), heightForWidth(ceilToInt(kCardNaturalWidth))};
}

QSize FillCard::minimumSizeHint() const {
    const qreal width = kCardNaturalWidth - textWidth(kCardNaturalWidth) + kCardMinimumText;
    return {ceilToInt(width), heightForWidth(ceilToInt(width))};
}

int FillCard::heightForWidth(int width) const {
    const auto lines =
        cardSubtitleFont().lines(QString::fromLatin1(kCardSubtitle), textWidth(width));
    const qreal text = cardTitleFont().lineSpacing() + kCardTextSpacing +
                       static_cast<qreal>(lines.size()) * cardSubtitleFont().lineSpacing();
    return ceilToInt(std::max(text, kCardTileSide) + 2 * kCardPadding);
}

void FillCard::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame(rect());
    paintCardSurface(painter, frame, kCardRadius);
    const qreal half = kCardOutlineWidth / 2;
    painter.setPen(QPen(withOpacity(Theme::accent(), kCardOutlineOpacity), kCardOutlineWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(frame.adjusted(half, half, -half, -half), kCardRadius, kCardRadius);

    const qreal middle = height() / 2.0;
    const QRectF tile(kCardPadding, middle - kCardTileSide / 2, kCardTileSide, kCardTileSide);
    painter.setPen(Qt::NoPen);
    painter.setBrush(withOpacity(Theme::accent(), kCardTileOpacity));
    painter.drawRoundedRect(tile, kCardTileRadius, kCardTileRadius);
    Symbols::draw(painter, tile.center(), kCardTileSymbolSize, "wand.and.stars", Theme::accent());

    const auto lines =
        cardSubtitleFont().lines(QString::fromLatin1(kCardSubtitle), textWidth(width()));
    const qreal textHeight = cardTitleFont().lineSpacing() + kCardTextSpacing +
                             static_cast<qreal>(lines.size()) * cardSubtitleFont().lineSpacing();
    const qreal x = tile.right() + kCardSpacing;
    qreal y = middle - textHeight / 2;
    cardTitleFont().draw(painter, QPointF(x, y), QString::fromLatin1(kCardTitle), Theme::ink());
    y += cardTitleFont().lineSpacing() + kCardTextSpacing;
    for (const QString& line : lines) {
        cardSubtitleFont().draw(painter, QPointF(x, y), line, Theme::secondary());
        y += cardSubtitleFont().lineSpacing();
    }

    const qreal arrow = Symbols::boxSide(kCardArrowSize);
    Symbols::draw(painter, QPointF(width() - kCardPadding - arrow / 2, middle), kCardArrowSize,
                  "arrow.down.circle.fill", Theme::accent());
}

DisclosureRow::DisclosureRow(QWidget* parent) : PaintedButton(parent) {
    setObjectName(QString::fromLatin1(editorNames::disclosure));
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleName(shownText());
    accessibility::setExpanded(*this, open_);
}

void DisclosureRow::setState(bool open, int count) {
    if (open == open_ && count == count_) {
        return;
    }
    open_ = open;
    count_ = count;
    setAccessibleName(shownText());
    setAccessibleDescription(countText());
    accessibility::setExpanded(*this, open_);
    update();
}

QString DisclosureRow::shownText() const {
    return open_ ? QStringLiteral("Power-ups") : QStringLiteral("Or pick power-ups manually");
}

QString DisclosureRow::countText() const {
    return open_ ? QString::number(count_) + QStringLiteral(" selected") : QString();
}

QSize DisclosureRow::sizeHint() const {
    const qreal chevron = Symbols::boxSide(kDisclosureChevronSize);
    const qreal height =
        std::max(chevron, disclosureFont().lineSpacing()) + 2 * kDisclosurePaddingV;
    const qreal width = chevron + kDisclosureSpacing + disclosureFont().width(shownText()) +
                        kDisclosureSpacing + kDisclosureMinimumSpacer +
                        countFont().width(countText());
    return {ceilToInt(width), ceilToInt(height)};
}

void DisclosureRow::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal middle = height() / 2.0;
    const qreal chevron = Symbols::boxSide(kDisclosureChevronSize);
    Symbols::draw(painter, QPointF(chevron / 2, middle), kDisclosureChevronSize,
                  open_ ? "chevron.down" : "chevron.right", Theme::secondary(),
                  FontWeight::semibold);
    disclosureFont().draw(
        painter, QPointF(chevron + kDisclosureSpacing, middle - disclosureFont().lineSpacing() / 2),
        shownText(), Theme::secondary());
    if (open_) {
        const QString count = countText();
        countFont().draw(
            painter,
            QPointF(width() - countFont().width(count), middle - countFont().lineSpacing() / 2),
            count, Theme::faint());
    }
}

}  // namespace velmora
