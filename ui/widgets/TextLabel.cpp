// Layout and drawing of plain data text in a design font.
#include "ui/widgets/TextLabel.hpp"

#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <cmath>

#include "ui/widgets/Accessibility.hpp"

namespace velmora {

namespace {

int ceilToInt(qreal value) {
    return static_cast<int>(std::ceil(value - 1e-6));
}

}  // namespace

TextLabel::TextLabel(DesignFont font, QColor colour, QWidget* parent)
    : QWidget(parent), font_(std::move(font)), colour_(std::move(colour)) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    accessibility::describe(*this, QAccessible::StaticText, text_);
}

void TextLabel::setText(const QString& text) {
    if (text == text_) {
        return;
    }
    text_ = text;
    accessibility::describe(*this, role_, text_);
    changed();
}

void TextLabel::setRole(QAccessible::Role role) {
    role_ = role;
    accessibility::describe(*this, role_, text_);
}

void TextLabel::setColour(const QColor& colour) {
    if (colour == colour_) {
        return;
    }
    colour_ = colour;
    update();
}

void TextLabel::setDesignFont(const DesignFont& font) {
    font_ = font;
    changed();
}

void TextLabel::setLineLimit(int lines) {
    lineLimit_ = std::max(0, lines);
    // A wrapping label takes its height from its width, as QLabel's word wrap does.
    QSizePolicy policy(QSizePolicy::Preferred,
                       lineLimit_ == 1 ? QSizePolicy::Fixed : QSizePolicy::Preferred);
    policy.setHeightForWidth(lineLimit_ != 1);
    setSizePolicy(policy);
    changed();
}

void TextLabel::setAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    update();
}

void TextLabel::changed() {
    cachedWidth_ = -1;
    naturalWidth_ = -1;
    updateGeometry();
    update();
}

qreal TextLabel::naturalWidth() const {
    if (naturalWidth_ < 0) {
        naturalWidth_ = font_.width(text_);
    }
    return naturalWidth_;
}

std::vector<QString> TextLabel::linesAt(int width) const {
    // A text that fits is its own one line, and needs no memory: the size hint asks at the
    // natural width between the layout's questions at the laid-out width, and keeping the answer
    // for the one would break the text anew for the other at every turn.
    if (naturalWidth() <= width && DesignFont::firstLineBreak(text_) < 0) {
        return {text_};
    }
    if (width != cachedWidth_) {
        cachedLines_ = lineLimit_ == 1 ? std::vector<QString>{font_.elided(text_, width)}
                                       : font_.lines(text_, width, lineLimit_, lastWrap_);
        cachedWidth_ = width;
    }
    return cachedLines_;
}

QSize TextLabel::sizeHint() const {
    const int natural = ceilToInt(naturalWidth());
    return {natural, lineLimit_ == 1 ? ceilToInt(font_.lineSpacing()) : heightForWidth(natural)};
}

QSize TextLabel::minimumSizeHint() const {
    // Narrower than its text is fine: it elides or wraps.
    return {ceilToInt(font_.width(QStringLiteral("…"))), ceilToInt(font_.lineSpacing())};
}

int TextLabel::heightForWidth(int width) const {
    const auto count = lineLimit_ == 1 ? 1 : linesAt(width).size();
    return ceilToInt(static_cast<qreal>(count) * font_.lineSpacing());
}

void TextLabel::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const qreal spacing = font_.lineSpacing();
    // A quoted page wraps to hundreds of lines, of which the window shows a few; a line's glyphs
    // may reach into the lines beside it.
    const qreal top = event->rect().top() - spacing;
    const qreal bottom = event->rect().bottom() + spacing;
    qreal y = 0;
    for (const QString& line : shownLines()) {
        if (y + spacing < top || y > bottom) {
            y += spacing;
            continue;
        }
        const Qt::Alignment horizontal =
            QStyle::visualAlignment(layoutDirection(), alignment_) & Qt::AlignHorizontal_Mask;
        qreal x = 0;
        if (horizontal & Qt::AlignRight) {
            x = width() - font_.width(line);
        } else if (horizontal & Qt::AlignHCenter) {
            x = (width() - font_.width(line)) / 2;
        }
        font_.draw(painter, QPointF(x, y), line, colour_);
        y += spacing;
    }
}

}  // namespace velmora
