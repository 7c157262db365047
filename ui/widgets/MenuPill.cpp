// Layout, painting and menu of the menu pill.
#include "ui/widgets/MenuPill.hpp"

#include <QMenu>
#include <QPainter>
#include <cmath>

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
constexpr const char* kChevron = "chevron.up.chevron.down";
constexpr qreal kSpacing = 5;
constexpr qreal kPaddingV = 7;
constexpr qreal kPaddingH = 12;
constexpr qreal kOutlineWidth = 1;
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

MenuPill::MenuPill(QWidget* parent) : PaintedButton(parent), menu_(new QMenu(this)) {
    setFocusShape(FocusShape::capsule);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
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
    setAccessibleName(text);
    updateGeometry();
    update();
}

QAction* MenuPill::addItem(const QString& text, const std::string& symbol,
                           std::function<void()> chosen) {
    QAction* action = menu_->addAction(mnemonicSafe(text));
    if (!symbol.empty()) {
        action->setIcon(
            QIcon(Symbols::pixmap(symbol, kMenuIconSize, Theme::ink(), devicePixelRatioF())));
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
    return sizeHint();
}

void MenuPill::openMenu() {
    menu_->popup(mapToGlobal(QPoint(0, height())));
}

void MenuPill::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF capsule = QRectF(rect()).adjusted(kOutlineWidth / 2, kOutlineWidth / 2,
                                                   -kOutlineWidth / 2, -kOutlineWidth / 2);
    const qreal radius = capsule.height() / 2;
    painter.setPen(QPen(Theme::hairline(), kOutlineWidth));
    painter.setBrush(Theme::paper());
    painter.drawRoundedRect(capsule, radius, radius);

    const qreal middle = QRectF(rect()).center().y();
    qreal x = kPaddingH;
    if (!symbol_.empty()) {
        const qreal side = Symbols::boxSide(kSymbolSize);
        Symbols::draw(painter, QPointF(x + side / 2, middle), kSymbolSize, symbol_,
                      Theme::secondary());
        x += side + kSpacing;
    }
    const qreal chevron = Symbols::boxSide(kChevronSize);
    const qreal textRoom = width() - kPaddingH - chevron - kSpacing - x;
    const QString shown = textFont().elided(text_, textRoom);
    textFont().draw(painter, QPointF(x, middle - textFont().lineSpacing() / 2), shown,
                    Theme::ink());
    Symbols::draw(painter, QPointF(width() - kPaddingH - chevron / 2, middle), kChevronSize,
                  kChevron, Theme::faint());
}

}  // namespace velmora
