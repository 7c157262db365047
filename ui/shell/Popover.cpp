// Placement, showing and closing of the status item's popup.
#include "ui/shell/Popover.hpp"

#include <QCursor>
#include <QGuiApplication>
#include <QHideEvent>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "ui/look/Theme.hpp"
#include "ui/widgets/Accessibility.hpp"
#include "ui/widgets/ReadingOrder.hpp"

namespace velmora {

QPoint popoverPosition(const QRect& anchor, const QSize& size, const QRect& available) {
    int x = anchor.center().x() - size.width() / 2;
    int y = anchor.bottom() + 1;
    if (y + size.height() > available.bottom() + 1 &&
        anchor.top() - size.height() >= available.top()) {
        y = anchor.top() - size.height();
    }
    // Right and bottom edges first, so that the left and top edges win when the popup is larger
    // than the screen.
    x = std::max(std::min(x, available.right() + 1 - size.width()), available.left());
    y = std::max(std::min(y, available.bottom() + 1 - size.height()), available.top());
    return {x, y};
}

Popover::Popover() : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("popover"));
    // Read as the application's panel, named as its header names it.
    accessibility::nameWindow(*this, QString::fromLatin1(title));
}

void Popover::configure(ContentMaker makeContent) {
    setFixedSize(contentSize);
    setPalette(Theme::lightPalette());
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    makeContent_ = std::move(makeContent);
}

QWidget* Popover::content() {
    if (content_ == nullptr && makeContent_) {
        content_ = std::exchange(makeContent_, {})().release();
        if (content_ != nullptr) {
            layout()->addWidget(content_);
        }
    }
    return content_;
}

bool Popover::closedJustNow() const {
    return sinceClose_.isValid() && !sinceClose_.hasExpired(reopenGuard.count());
}

void Popover::showBelow(const QRect& anchor) {
    const QRect target = anchor.isValid() ? anchor : QRect(QCursor::pos(), QSize(1, 1));
    const QScreen* screen = QGuiApplication::screenAt(target.center());
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    const QRect available =
        screen != nullptr ? screen->availableGeometry() : QRect(target.topLeft(), size());
    content();
    move(popoverPosition(target, size(), available));
    show();
    raise();
    activateWindow();
}

void Popover::performClose() {
    close();
}

bool Popover::focusNextPrevChild(bool next) {
    // Qt's own order would stop first on the list's scroll area, which shows no focus.
    return readingOrder::moveFocus(*this, next);
}

void Popover::hideEvent(QHideEvent* event) {
    sinceClose_.start();
    QWidget::hideEvent(event);
}

}  // namespace velmora
