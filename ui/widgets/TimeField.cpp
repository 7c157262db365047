// The time field's format, look and wheel rule.
#include "ui/widgets/TimeField.hpp"

#include <QWheelEvent>
#include <cmath>

#include "ui/look/Fonts.hpp"
#include "ui/look/Theme.hpp"

namespace velmora {

namespace {

constexpr const char* kFormat = "h:mm AP";
// A capsule as tall as the form's menu pills (7 above and below a line of 12.5-point text) with
// their inner margin.
constexpr qreal kPaddingV = 7;
constexpr int kPaddingH = 12;
constexpr qreal kDefaultFontSize = 12.5;

}  // namespace

TimeField::TimeField(QWidget* parent) : QTimeEdit(parent) {
    // The C locale's "AM" and "PM", not the desktop's words for them.
    setLocale(QLocale::c());
    setDisplayFormat(QString::fromLatin1(kFormat));
    setButtonSymbols(QAbstractSpinBox::NoButtons);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setDesignFont(DesignFont::inter(kDefaultFontSize));
}

void TimeField::setDesignFont(const DesignFont& font) {
    setFont(font.approximate());
    // A white field in a hairline, rounded into a capsule as the form's pills are.
    const int height = static_cast<int>(std::ceil(2 * kPaddingV + font.lineSpacing()));
    setFixedHeight(height);
    setStyleSheet(QStringLiteral("QTimeEdit { background: %1; color: %2; border: 1px solid %3; "
                                 "border-radius: %4px; padding: 0px %5px; }")
                      .arg(Theme::card().name(), Theme::ink().name(), Theme::hairline().name())
                      .arg(height / 2)
                      .arg(kPaddingH));
}

void TimeField::wheelEvent(QWheelEvent* event) {
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    QTimeEdit::wheelEvent(event);
}

}  // namespace velmora
