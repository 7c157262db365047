// The text button's text, colours and size, with or without its capsule.
#include "ui/widgets/TextButton.hpp"

#include <cmath>

#include "ui/look/AppStyle.hpp"

namespace velmora {

TextButton::TextButton(DesignFont font, QColor colour, QWidget* parent)
    : QToolButton(parent), font_(std::move(font)), colour_(std::move(colour)) {
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    setAutoRaise(true);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFont(font_.exact(logicalDpiY()));
    QPalette colours = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        colours.setColor(group, QPalette::ButtonText, colour_);
    }
    setPalette(colours);
    AppStyle::useButtonLook(*this, 0);
}

void TextButton::setLabel(const QString& text) {
    if (text == label_) {
        return;
    }
    label_ = text;
    // "&&" shows one "&" rather than marking a mnemonic.
    setText(QString(text).replace(QLatin1Char('&'), QStringLiteral("&&")));
    setAccessibleName(text);
    updateGeometry();
}

void TextButton::setCapsule(QColor fill, QColor disabledFill, qreal paddingV, qreal paddingH) {
    capsule_ = Capsule{std::move(fill), std::move(disabledFill), paddingV, paddingH};
    QPalette colours = palette();
    colours.setColor(QPalette::Active, QPalette::Button, capsule_->fill);
    colours.setColor(QPalette::Inactive, QPalette::Button, capsule_->fill);
    colours.setColor(QPalette::Disabled, QPalette::Button, capsule_->disabledFill);
    setPalette(colours);
    // The style fills a button that is not auto-raised.
    setAutoRaise(false);
    updateGeometry();
}

std::optional<QColor> TextButton::shownFill() const {
    if (!capsule_) {
        return std::nullopt;
    }
    return isEnabled() ? capsule_->fill : capsule_->disabledFill;
}

QSize TextButton::sizeHint() const {
    const qreal padV = capsule_ ? capsule_->paddingV : 0;
    const qreal padH = capsule_ ? capsule_->paddingH : 0;
    return {static_cast<int>(std::ceil(font_.width(label_) + 2 * padH)),
            static_cast<int>(std::ceil(font_.lineSpacing() + 2 * padV))};
}

}  // namespace velmora
