// Sideways scrolling from a vertical wheel.
#include "ui/widgets/WheelStrip.hpp"

#include <QApplication>
#include <QScrollBar>
#include <QWheelEvent>

namespace velmora {

namespace {

constexpr int kAngleSteps = QWheelEvent::DefaultDeltasPerStep;

}  // namespace

WheelStrip::WheelStrip(QWidget* parent) : QScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto* content = new QWidget;
    content->setAutoFillBackground(false);
    row_ = new QHBoxLayout(content);
    row_->setContentsMargins(0, 0, 0, 0);
    setWidget(content);
    viewport()->setAutoFillBackground(false);
}

QSize WheelStrip::sizeHint() const {
    return widget()->sizeHint();
}

QSize WheelStrip::minimumSizeHint() const {
    return {0, widget()->sizeHint().height()};
}

void WheelStrip::wheelEvent(QWheelEvent* event) {
    QScrollBar* bar = horizontalScrollBar();
    // A sideways gesture moves sideways; a plain wheel's vertical steps do too. A touchpad says
    // how many pixels; a wheel says eighths of a degree, a notch being kAngleSteps of them.
    const bool inPixels = !event->pixelDelta().isNull();
    const QPoint delta = inPixels ? event->pixelDelta() : event->angleDelta();
    const int along = delta.x() != 0 ? delta.x() : delta.y();
    if (bar->maximum() == 0 || along == 0) {
        event->ignore();
        return;
    }
    const int pixels =
        inPixels ? along
                 : along * QApplication::wheelScrollLines() * bar->singleStep() / kAngleSteps;
    bar->setValue(bar->value() - pixels);
    event->accept();
}

}  // namespace velmora
