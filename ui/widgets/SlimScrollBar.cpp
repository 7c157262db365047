// The slim bar: a style sheet with the theme's colours on a bar of our own over the viewport,
// kept in step with the area's hidden bar in both directions.
#include "ui/widgets/SlimScrollBar.hpp"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>

#include "ui/look/RoundedShapes.hpp"
#include "ui/look/Theme.hpp"

namespace velmora {

namespace {

constexpr int kWidth = 8;
constexpr int kThumbRadius = 3;
constexpr int kThumbMinimum = 24;
constexpr qreal kThumbOpacity = 0.22;
constexpr const char* kOverlayName = "slimScrollBar";

QColor thumbColour() {
    return withOpacity(Theme::ink(), kThumbOpacity);
}

QString slimSheet() {
    const QColor thumb = thumbColour();
    return QStringLiteral(
               "QScrollBar:vertical { background: transparent; width: %1px;"
               " margin: 2px 1px 2px 1px; }"
               "QScrollBar::handle:vertical { background: %2; border-radius: %3px;"
               " min-height: %4px; }"
               "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical"
               " { height: 0px; }"
               "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical"
               " { background: transparent; }")
        .arg(kWidth)
        .arg(thumb.name(QColor::HexArgb))
        .arg(kThumbRadius)
        .arg(kThumbMinimum);
}

// Mirrors the area's hidden bar (range, steps, value) and stands over the viewport's right edge.
class OverlayBar : public QScrollBar {
  public:
    explicit OverlayBar(QAbstractScrollArea& area)
        : QScrollBar(Qt::Vertical, &area), area_(&area), followed_(area.verticalScrollBar()) {
        setObjectName(QString::fromLatin1(kOverlayName));
        setAccessibleName(QStringLiteral("Scroll bar"));
        setStyleSheet(slimSheet());
        setCursor(Qt::ArrowCursor);
        // The page's keys and the wheel scroll it; the bar is no stop on the way through with Tab.
        setFocusPolicy(Qt::NoFocus);
        connect(followed_, &QAbstractSlider::rangeChanged, this, [this] { follow(); });
        connect(followed_, &QAbstractSlider::valueChanged, this, &QAbstractSlider::setValue);
        connect(this, &QAbstractSlider::valueChanged, followed_, &QAbstractSlider::setValue);
        area.installEventFilter(this);
        area.viewport()->installEventFilter(this);
        follow();
    }

  protected:
    // The style sheet places the thumb and answers the mouse; drawing it through the sheet's
    // style matched and rendered its rules at every paint, half a millisecond of every page's.
    void paintEvent(QPaintEvent* /*event*/) override {
        QStyleOptionSlider option;
        initStyleOption(&option);
        const QRect thumb = style()->subControlRect(QStyle::CC_ScrollBar, &option,
                                                    QStyle::SC_ScrollBarSlider, this);
        if (thumb.isEmpty()) {
            return;
        }
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        fillRoundedRect(painter, QRectF(thumb), kThumbRadius, thumbColour());
    }

  public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type == QEvent::Resize || type == QEvent::Show || type == QEvent::LayoutRequest) {
            follow();
            // The area sets its bar's page step after its own resize handler, which runs after
            // this filter: look again once it has.
            QMetaObject::invokeMethod(
                this,
                [self = QPointer<OverlayBar>(this)] {
                    if (self) {
                        self->follow();
                    }
                },
                Qt::QueuedConnection);
        }
        return QScrollBar::eventFilter(watched, event);
    }

  private:
    void follow() {
        setRange(followed_->minimum(), followed_->maximum());
        setSingleStep(followed_->singleStep());
        setPageStep(followed_->pageStep());
        setValue(followed_->value());
        const QRect port = area_->viewport()->geometry();
        setGeometry(port.x() + port.width() - kWidth, port.y(), kWidth, port.height());
        setVisible(maximum() > minimum());
        raise();
    }

    QAbstractScrollArea* area_;
    QScrollBar* followed_;
};

}  // namespace

void useSlimScrollBars(QAbstractScrollArea& area) {
    if (shownScrollBar(area) != area.verticalScrollBar()) {
        return;
    }
    area.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    new OverlayBar(area);
}

QScrollBar* shownScrollBar(const QAbstractScrollArea& area) {
    auto* overlay =
        area.findChild<QScrollBar*>(QString::fromLatin1(kOverlayName), Qt::FindDirectChildrenOnly);
    return overlay != nullptr ? overlay : area.verticalScrollBar();
}

}  // namespace velmora
