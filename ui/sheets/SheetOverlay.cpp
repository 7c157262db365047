// Placing, dimming and holding the input for a sheet inside its window.
#include "ui/sheets/SheetOverlay.hpp"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QPainter>
#include <algorithm>

#include "ui/look/FlatFill.hpp"
#include "ui/look/RoundedShapes.hpp"
#include "ui/look/Theme.hpp"
#include "ui/sheets/SheetDialog.hpp"
#include "ui/widgets/Accessibility.hpp"
#include "ui/widgets/ReadingOrder.hpp"

namespace velmora {

namespace {

// The content behind a sheet: ink laid thinly over it, so it reads as set aside but still there.
constexpr qreal kDimOpacity = 0.22;
// The sheet's soft shadow: rings of ink fading outwards.
constexpr int kShadowRings = 6;
constexpr qreal kShadowOpacity = 0.035;
constexpr qreal kShadowOffsetY = 3;
constexpr qreal kSheetRadius = 4;

}  // namespace

SheetOverlay::SheetOverlay(QWidget& window, QDialog& sheet) : QWidget(&window), sheet_(&sheet) {
    setObjectName(QStringLiteral("sheet.overlay"));
    // While up, the sheet is all of the window that screen readers reach.
    accessibility::markModalLayer(*this);
    // Not a window of its own: a child of the layer, drawn inside the window.
    sheet.setParent(this, Qt::Widget);
    // The content behind shows no pointing hand through the layer.
    setCursor(Qt::ArrowCursor);
    setGeometry(window.rect());
    window.installEventFilter(this);
    place();
}

SheetOverlay::~SheetOverlay() {
    // Back to the control that had the focus before, if it is still there to take it.
    if (focusBefore_ && focusBefore_->isVisible() && focusBefore_->isEnabled()) {
        focusBefore_->setFocus(Qt::OtherFocusReason);
    }
}

void SheetOverlay::present() {
    QWidget* focused = QApplication::focusWidget();
    if (focused != nullptr && parentWidget() != nullptr && parentWidget()->isAncestorOf(focused) &&
        !isAncestorOf(focused)) {
        focusBefore_ = focused;
    }
    place();
    show();
    raise();
    sheet_->show();
    auto* sheet = qobject_cast<SheetDialog*>(sheet_);
    QWidget* first = sheet != nullptr ? sheet->firstFocus() : nullptr;
    (first != nullptr ? first : sheet_)->setFocus(Qt::PopupFocusReason);
}

void SheetOverlay::place() {
    const QSize size = sheet_->size();
    // Centred; a window shorter than the sheet shows the sheet's top.
    const int x = std::max(0, (width() - size.width()) / 2);
    const int y = std::max(0, (height() - size.height()) / 2);
    sheet_->move(x, y);
}

bool SheetOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
        place();
    }
    return QWidget::eventFilter(watched, event);
}

bool SheetOverlay::event(QEvent* event) {
    switch (event->type()) {
        // Whatever reaches the layer itself was meant for the content behind it: it stops here.
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::ToolTip:
            event->accept();
            return true;
        default:
            return QWidget::event(event);
    }
}

void SheetOverlay::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    fillFlat(painter, rect(), withOpacity(Theme::ink(), kDimOpacity));
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor shadow = withOpacity(Theme::ink(), kShadowOpacity);
    const QRectF sheet = QRectF(sheet_->geometry()).translated(0, kShadowOffsetY);
    for (int ring = kShadowRings; ring >= 1; --ring) {
        const qreal spread = ring;
        fillRoundedRect(painter, sheet.adjusted(-spread, -spread, spread, spread),
                        kSheetRadius + spread, shadow);
    }
}

bool SheetOverlay::focusNextPrevChild(bool next) {
    // Tab goes round the sheet and never out to the content behind it.
    if (!readingOrder::moveFocus(*sheet_, next)) {
        sheet_->setFocus(Qt::TabFocusReason);
    }
    return true;
}

}  // namespace velmora
