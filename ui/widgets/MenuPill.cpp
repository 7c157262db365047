// Layout, label and menu of the menu pill.
#include "ui/widgets/MenuPill.hpp"

#include <QMenu>
#include <cmath>

#include "ui/look/AppStyle.hpp"
#include "ui/look/Fonts.hpp"
#include "ui/look/Symbols.hpp"
#include "ui/look/Theme.hpp"
#include "ui/sync/InteractionHold.hpp"
#include "ui/widgets/Accessibility.hpp"
#include "ui/widgets/Text.hpp"

namespace velmora {

namespace {

constexpr qreal kSymbolSize = 11;
constexpr qreal kTextSize = 12.5;
constexpr qreal kChevronSize = 8;
constexpr qreal kSpacing = 5;
constexpr qreal kPaddingV = 7;
constexpr qreal kPaddingH = 12;
constexpr qreal kMenuIconSize = 12;

const DesignFont& textFont() {
    return DesignFont::inter(kTextSize, FontWeight::medium);
}

qreal contentHeight() {
    return std::max(
        {textFont().lineSpacing(), Symbols::boxSide(kSymbolSize), Symbols::boxSide(kChevronSize)});
}

// Width of everything but the text.
qreal fixedWidth(bool withSymbol) {
    const qreal symbol = withSymbol ? Symbols::boxSide(kSymbolSize) + kSpacing : 0;
    return 2 * kPaddingH + symbol + kSpacing + Symbols::boxSide(kChevronSize);
}

}  // namespace

MenuPill::MenuPill(QWidget* parent) : QToolButton(parent), menu_(new QMenu(this)) {
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    // Not an instant popup: Qt would open that menu in a nested event loop. The style makes the
    // whole pill one press, and the click opens the menu.
    setPopupMode(QToolButton::MenuButtonPopup);
    setMenu(menu_);
    setFocusPolicy(Qt::TabFocus);
    // As wide as its text where there is room; narrower, the style cuts the text with "…", so a
    // long scene or application name cannot push the page past the window.
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    setFont(textFont().exact(logicalDpiY()));
    const int side = static_cast<int>(std::lround(Symbols::boxSide(kSymbolSize)));
    setIconSize(QSize(side, side));
    QPalette colours = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        colours.setColor(group, QPalette::ButtonText, Theme::ink());
        colours.setColor(group, QPalette::Button, Theme::paper());
    }
    setPalette(colours);
    AppStyle::useButtonLook(*this, kSpacing, kPaddingH);
    accessibility::opensMenu(*this);
    connect(this, &QAbstractButton::clicked, this, &MenuPill::openMenu);
    connect(menu_, &QMenu::aboutToShow, this,
            [this] { hold_ = std::make_unique<InteractionHold>(*this); });
    connect(menu_, &QMenu::aboutToHide, this, [this] { hold_.reset(); });
}

MenuPill::~MenuPill() = default;

void MenuPill::setLabel(const QString& text, const std::string& symbol) {
    if (text == text_ && symbol == symbol_) {
        return;
    }
    text_ = text;
    symbol_ = symbol;
    setText(mnemonicSafe(text));
    // Drawn at the density of the screen the pill shows on, whichever it was made on.
    setIcon(symbol.empty() ? QIcon() : Symbols::icon(symbol, Theme::secondary()));
    setAccessibleName(text);
    updateGeometry();
}

QAction* MenuPill::addItem(const QString& text, const std::string& symbol,
                           std::function<void()> chosen) {
    QAction* action = menu_->addAction(mnemonicSafe(text));
    if (!symbol.empty()) {
        // At its own size in the square the menu gives icons, and at the density of the screen
        // the menu opens on.
        action->setIcon(Symbols::icon(symbol, kMenuIconSize, Theme::ink()));
    }
    connect(action, &QAction::triggered, this, [chosen = std::move(chosen)] { chosen(); });
    return action;
}

void MenuPill::clearItems() {
    menu_->clear();
}

QSize MenuPill::sizeHint() const {
    const qreal width = fixedWidth(!symbol_.empty()) + textFont().width(text_);
    const qreal height = 2 * kPaddingV + contentHeight();
    return {static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height))};
}

QSize MenuPill::minimumSizeHint() const {
    const qreal width = fixedWidth(!symbol_.empty()) + textFont().width(QStringLiteral("\u2026"));
    return {static_cast<int>(std::ceil(width)), sizeHint().height()};
}

void MenuPill::openMenu() {
    menu_->popup(mapToGlobal(QPoint(0, height())));
}

}  // namespace velmora
