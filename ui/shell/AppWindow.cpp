// The main window's frame: placement, bringing it forward and dragging it by its background.
#include "ui/shell/AppWindow.hpp"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <cmath>

#include "ui/look/Theme.hpp"
#include "ui/widgets/Accessibility.hpp"

namespace velmora {

namespace {

// How far, in device pixels, rounding may move a size taken from one ratio to another.
constexpr int kRoundingPixels = 1;

bool sameOnDevice(const QSize& size, qreal ratio, const QSize& other, qreal otherRatio) {
    const QSizeF pixels = QSizeF(size) * ratio;
    const QSizeF otherPixels = QSizeF(other) * otherRatio;
    return std::abs(pixels.width() - otherPixels.width()) <= kRoundingPixels &&
           std::abs(pixels.height() - otherPixels.height()) <= kRoundingPixels;
}

}  // namespace

AppWindow::AppWindow(std::unique_ptr<QWidget> root) : QWidget(nullptr), root_(root.release()) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QString::fromLatin1(title));
    // A window, as a screen reader announces one, rather than a nameless part of the desktop.
    accessibility::nameWindow(*this, QString::fromLatin1(title));
    setPalette(Theme::lightPalette());
    // The root fills the whole frame with the same paper: a fill of the frame's own under it
    // would be painted over at once, at every repaint of the window.
    setAttribute(Qt::WA_OpaquePaintEvent);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(root_);
    root_->installEventFilter(this);
    resize(contentSize);
    // Ctrl+Q, the desktops' usual quit command (spelt out: not every platform theme binds it),
    // stands in for the application menu's Quit. Without a tray nothing else ends the
    // application, since closing the window leaves it running.
    auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    quit->setContext(Qt::ApplicationShortcut);
    connect(quit, &QShortcut::activated, qApp, &QCoreApplication::quit);
}

void AppWindow::centreOnScreen() {
    const QScreen* screen =
        this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    setGeometry(
        QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen->availableGeometry()));
}

void AppWindow::bringForward() {
    if (isMinimized()) {
        showNormal();
    } else {
        show();
    }
    raise();
    activateWindow();
}

void AppWindow::mousePressEvent(QMouseEvent* event) {
    // Only presses that no child took reach the frame: those are on the background.
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    // Nothing moves yet: a quick click or a touchpad tap is not a drag, and a window manager's
    // move started now would follow the pointer until the next click.
    pressedAt_ = event->globalPosition().toPoint();
    dragOffset_.reset();
}

void AppWindow::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || (!pressedAt_ && !dragOffset_)) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    event->accept();
    const QPoint global = event->globalPosition().toPoint();
    if (dragOffset_) {
        move(global - *dragOffset_);
        return;
    }
    if ((global - *pressedAt_).manhattanLength() >= QApplication::startDragDistance()) {
        startMove(global);
    }
}

void AppWindow::startMove(const QPoint& globalPosition) {
    const QPoint pressed = *pressedAt_;
    pressedAt_.reset();
    QWindow* handle = windowHandle();
    if (handle != nullptr && handle->startSystemMove()) {
        return;
    }
    // No window manager to move it: follow the pointer ourselves, from where the press was.
    dragOffset_ = pressed - frameGeometry().topLeft();
    move(globalPosition - *dragOffset_);
}

void AppWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressedAt_.reset();
        dragOffset_.reset();
    }
    QWidget::mouseReleaseEvent(event);
}

void AppWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const qreal ratio = devicePixelRatioF();
    // Moved to a screen of another pixel ratio, the window keeps its size in the screen's pixels
    // on X: from a screen of ratio 1 to one of 2 it would show a quarter of its content, far
    // below its minimum size. It keeps its size in the window's own units instead, as a user's
    // resize or maximising does not.
    const bool keptItsPixels = sizedAtRatio_ > 0 && ratio != sizedAtRatio_ &&
                               sameOnDevice(size(), ratio, sizedAt_, sizedAtRatio_);
    if (keptItsPixels && (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) == 0) {
        const QSize kept = sizedAt_;
        // After the platform's own handling of the move, which sent this resize.
        QMetaObject::invokeMethod(
            this, [this, kept] { resize(kept); }, Qt::QueuedConnection);
    }
    sizedAt_ = size();
    sizedAtRatio_ = ratio;
}

// The root covers the frame, so the frame itself is never painted: the root's first paint starts
// the window's, whose children are painted in the same pass, before control is back in the event
// loop.
bool AppWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == root_ && event->type() == QEvent::Paint && !painted_) {
        painted_ = true;
        QTimer::singleShot(0, this, [this] {
            if (onFirstPaint) {
                onFirstPaint();
            }
            emit firstPainted();
        });
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace velmora
