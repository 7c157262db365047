// The symbol-and-text button's icon, text, colour and size.
#include "ui/widgets/LabelButton.hpp"

#include <QIcon>
#include <algorithm>
#include <cmath>

#include "ui/look/AppStyle.hpp"
#include "ui/look/Symbols.hpp"

namespace velmora {

LabelButton::LabelButton(std::string symbol, qreal symbolSize, DesignFont font, qreal spacing,
                         QColor colour, QWidget* parent)
    : QToolButton(parent),
      symbol_(std::move(symbol)),
      symbolSize_(symbolSize),
      font_(std::move(font)),
      spacing_(spacing),
      colour_(std::move(colour)) {
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setAutoRaise(true);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
    setFont(font_.exact(logicalDpiY()));
    QPalette colours = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        colours.setColor(group, QPalette::ButtonText, colour_);
    }
    setPalette(colours);
    AppStyle::useButtonLook(*this, spacing_);
    makeIcon();
}

void LabelButton::makeIcon() {
    setIcon(Symbols::icon(symbol_, colour_, symbolWeight_));
    const int side = static_cast<int>(std::lround(Symbols::boxSide(symbolSize_)));
    setIconSize(QSize(side, side));
}

void LabelButton::showEvent(QShowEvent* event) {
    QToolButton::showEvent(event);
    // The icon is asked for at the icon size on the device, the smaller side of it.
    const QSize pixels = iconSize() * devicePixelRatioF();
    Symbols::prepare(symbol_, std::min(pixels.width(), pixels.height()), colour_, symbolWeight_);
}

void LabelButton::setLabel(const QString& text) {
    if (text == label_) {
        return;
    }
    label_ = text;
    // "&&" shows one "&" rather than marking a mnemonic.
    setText(QString(text).replace(QLatin1Char('&'), QStringLiteral("&&")));
    setAccessibleName(text);
    updateGeometry();
}

void LabelButton::setPadding(qreal padding) {
    padding_ = padding;
    updateGeometry();
    update();
}

void LabelButton::setSymbolWeight(FontWeight weight) {
    if (weight == symbolWeight_) {
        return;
    }
    symbolWeight_ = weight;
    makeIcon();
}

QSize LabelButton::sizeHint() const {
    const qreal side = Symbols::boxSide(symbolSize_);
    const qreal width =
        2 * padding_ + side + (label_.isEmpty() ? 0 : spacing_ + font_.width(label_));
    const qreal height =
        2 * padding_ + (label_.isEmpty() ? side : std::max(side, font_.lineSpacing()));
    return {static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height))};
}

}  // namespace velmora
