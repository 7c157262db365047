// The time field's format, its capsule drawn by hand, where its text stands, and its wheel rule.
#include "ui/widgets/TimeField.hpp"

#include <QLineEdit>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "ui/look/Fonts.hpp"
#include "ui/look/RoundedShapes.hpp"
#include "ui/look/Theme.hpp"

namespace velmora {

namespace {

constexpr const char* kFormat = "h:mm AP";
// A capsule as tall as the form's menu pills (7 above and below a line of 12.5-point text) with
// their inner margin.
constexpr qreal kPaddingV = 7;
constexpr int kPaddingH = 12;
constexpr qreal kDefaultFontSize = 12.5;
constexpr int kOutline = 1;
// The room the editor keeps after the widest time for its blinking cursor, as Qt's own time
// fields do.
constexpr int kCursorRoom = 2;

}  // namespace

TimeField::TimeField(QWidget* parent) : QTimeEdit(parent) {
    // The C locale's "AM" and "PM", not the desktop's words for them.
    setLocale(QLocale::c());
    setDisplayFormat(QString::fromLatin1(kFormat));
    setButtonSymbols(QAbstractSpinBox::NoButtons);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    // The capsule is the field's background: the editor inside would fill its own rectangle in
    // the base colour, which at a fractional scale reaches over the outline.
    QPalette editor = lineEdit()->palette();
    editor.setColor(QPalette::Base, Qt::transparent);
    lineEdit()->setPalette(editor);
    setDesignFont(DesignFont::inter(kDefaultFontSize));
}

void TimeField::setDesignFont(const DesignFont& font) {
    setFont(font.approximate());
    setFixedHeight(static_cast<int>(std::ceil(2 * kPaddingV + font.lineSpacing())));
    updateGeometry();
}

QSize TimeField::sizeHint() const {
    // The widest time it can show, followed by a space, as Qt measures a time field's text.
    const QFontMetrics metrics = fontMetrics();
    const QString space = QStringLiteral(" ");
    const int text =
        std::max(metrics.horizontalAdvance(textFromDateTime(minimumDateTime()) + space),
                 metrics.horizontalAdvance(textFromDateTime(maximumDateTime()) + space));
    return {text + kCursorRoom + 2 * (kOutline + kPaddingH), height()};
}

QSize TimeField::minimumSizeHint() const {
    return sizeHint();
}

void TimeField::paintEvent(QPaintEvent* /*event*/) {
    // A white field in a hairline, rounded into a capsule as the form's pills are; the editor
    // inside draws only the text.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal half = kOutline / 2.0;
    const QRectF capsule = QRectF(rect()).adjusted(half, half, -half, -half);
    drawRoundedShape(painter, capsule, capsule.height() / 2, QPen(Theme::hairline(), kOutline),
                     Theme::card());
}

void TimeField::resizeEvent(QResizeEvent* event) {
    QTimeEdit::resizeEvent(event);
    placeEditor();
}

void TimeField::changeEvent(QEvent* event) {
    QTimeEdit::changeEvent(event);
    if (event->type() == QEvent::StyleChange) {
        placeEditor();
    }
}

void TimeField::placeEditor() {
    // Qt's style would place it inside a frame of its own: it goes inside the capsule's outline
    // and side padding instead.
    lineEdit()->setGeometry(
        rect().adjusted(kOutline + kPaddingH, kOutline, -(kOutline + kPaddingH), -kOutline));
}

void TimeField::wheelEvent(QWheelEvent* event) {
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    QTimeEdit::wheelEvent(event);
}

}  // namespace velmora
