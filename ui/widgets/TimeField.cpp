// The time field's format, look and wheel rule.
#include "ui/widgets/TimeField.hpp"

#include <QWheelEvent>

#include "ui/look/Fonts.hpp"
#include "ui/look/Theme.hpp"

namespace velmora {

namespace {

constexpr const char* kFormat = "h:mm AP";
constexpr int kRadius = 6;
constexpr int kPaddingV = 3;
constexpr int kPaddingH = 7;

}  // namespace

TimeField::TimeField(QWidget* parent) : QTimeEdit(parent) {
    // The C locale's "AM" and "PM", not the desktop's words for them.
    setLocale(QLocale::c());
    setDisplayFormat(QString::fromLatin1(kFormat));
    setButtonSymbols(QAbstractSpinBox::NoButtons);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    // A white field in a hairline, as the form's pills are outlined.
    setStyleSheet(QStringLiteral("QTimeEdit { background: %1; color: %2; border: 1px solid %3; "
                                 "border-radius: %4px; padding: %5px %6px; }")
                      .arg(Theme::card().name(), Theme::ink().name(), Theme::hairline().name())
                      .arg(kRadius)
                      .arg(kPaddingV)
                      .arg(kPaddingH));
}

void TimeField::setDesignFont(const DesignFont& font) {
    setFont(font.approximate());
}

void TimeField::wheelEvent(QWheelEvent* event) {
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    QTimeEdit::wheelEvent(event);
}

}  // namespace velmora
