// Sideways scrolling from a vertical wheel, the edge cues and the fitting of the gaps.
#include "ui/widgets/WheelStrip.hpp"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

#include "ui/look/Symbols.hpp"
#include "ui/look/Theme.hpp"
#include "ui/widgets/Accessibility.hpp"

namespace velmora {

namespace {

constexpr int kAngleSteps = QWheelEvent::DefaultDeltasPerStep;
// The cue: a fade this wide from clear to the background, solid over its outer part, with a
// chevron near the edge.
constexpr int kCueWidth = 30;
constexpr qreal kCueSolidShare = 0.45;
constexpr qreal kChevronSize = 10;
constexpr qreal kChevronInset = 2;
class EdgeCue : public QWidget {
  public:
    EdgeCue(WheelStrip::Edge edge, QWidget* parent) : QWidget(parent), edge_(edge) {
        // A picture over the strip: the item beneath still takes the click.
        setAttribute(Qt::WA_TransparentForMouseEvents);
        accessibility::hide(*this);
        hide();
    }
    void setColour(const QColor& colour) {
        colour_ = colour;
        update();
    }

  protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        const bool trailing = edge_ == WheelStrip::Edge::trailing;
        QLinearGradient fade(trailing ? QPointF(0, 0) : QPointF(width(), 0),
                             trailing ? QPointF(width(), 0) : QPointF(0, 0));
        QColor clear = colour_;
        clear.setAlpha(0);
        fade.setColorAt(0, clear);
        fade.setColorAt(1 - kCueSolidShare, colour_);
        fade.setColorAt(1, colour_);
        painter.fillRect(rect(), fade);
        const qreal side = Symbols::boxSide(kChevronSize);
        const qreal x = trailing ? width() - kChevronInset - side / 2 : kChevronInset + side / 2;
        Symbols::draw(painter, QPointF(x, height() / 2.0), kChevronSize,
                      trailing ? "chevron.right" : "chevron.left", Theme::secondary(),
                      FontWeight::semibold);
    }

  private:
    WheelStrip::Edge edge_;
    QColor colour_ = Theme::paper();
};

}  // namespace

WheelStrip::WheelStrip(QWidget* parent)
    : QScrollArea(parent),
      leadingCue_(new EdgeCue(Edge::leading, this)),
      trailingCue_(new EdgeCue(Edge::trailing, this)) {
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
    content->installEventFilter(this);

    QScrollBar* bar = horizontalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this, &WheelStrip::placeCues);
    connect(bar, &QScrollBar::rangeChanged, this, &WheelStrip::placeCues);
}

void WheelStrip::setLeastSpacing(int least) {
    preferredSpacing_ = row_->spacing();
    leastSpacing_ = std::min(least, preferredSpacing_);
    fit();
}

void WheelStrip::setFadeColour(const QColor& colour) {
    static_cast<EdgeCue*>(leadingCue_)->setColour(colour);
    static_cast<EdgeCue*>(trailingCue_)->setColour(colour);
}

QWidget& WheelStrip::cue(Edge edge) const {
    return edge == Edge::leading ? *leadingCue_ : *trailingCue_;
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

void WheelStrip::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    fit();
    placeCues();
}

bool WheelStrip::eventFilter(QObject* watched, QEvent* event) {
    // Items added, removed, shown or hidden.
    if (watched == widget() && event->type() == QEvent::LayoutRequest) {
        fit();
    }
    return QScrollArea::eventFilter(watched, event);
}

void WheelStrip::fit() {
    if (leastSpacing_ < 0) {
        return;
    }
    int items = 0;
    int natural = 0;
    for (int i = 0; i < row_->count(); ++i) {
        QLayoutItem* item = row_->itemAt(i);
        if (item->widget() != nullptr && !item->isEmpty()) {
            ++items;
            natural += item->sizeHint().width();
        }
    }
    if (items < 2) {
        return;
    }
    const QMargins margins = row_->contentsMargins();
    const int room = viewport()->width() - margins.left() - margins.right() - natural;
    const int spacing = std::clamp(room / (items - 1), leastSpacing_, preferredSpacing_);
    if (spacing != row_->spacing()) {
        row_->setSpacing(spacing);
    }
}

void WheelStrip::placeCues() {
    const QScrollBar* bar = horizontalScrollBar();
    const QRect port = viewport()->geometry();
    leadingCue_->setGeometry(port.left(), port.top(), kCueWidth, port.height());
    trailingCue_->setGeometry(port.right() + 1 - kCueWidth, port.top(), kCueWidth, port.height());
    leadingCue_->setVisible(bar->value() > bar->minimum());
    trailingCue_->setVisible(bar->value() < bar->maximum());
    leadingCue_->raise();
    trailingCue_->raise();
}

}  // namespace velmora
