// The slim bar: a bar of our own over the viewport, kept in step with the area's hidden bar in
// both directions, whose parts a small style of its own places.
#include "ui/widgets/SlimScrollBar.hpp"

#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QEvent>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyleFactory>
#include <QStyleOptionSlider>
#include <algorithm>
#include <climits>

#include "ui/look/RoundedShapes.hpp"
#include "ui/look/Theme.hpp"

namespace velmora {

namespace {

constexpr int kWidth = 8;
// The track keeps this far from the bar's ends and from its sides.
constexpr int kEndMargin = 2;
constexpr int kSideMargin = 1;
constexpr int kThumbRadius = 3;
constexpr int kThumbMinimum = 24;
constexpr qreal kThumbOpacity = 0.22;
constexpr const char* kOverlayName = "slimScrollBar";
// Whatever the bar does not place itself (timings, which clicks jump, its menu) is Fusion's, as
// for every other control.
constexpr const char* kBaseStyle = "Fusion";

QColor thumbColour() {
    return withOpacity(Theme::ink(), kThumbOpacity);
}

// Places the parts of a vertical slim bar: a track inside the bar's margins, no arrow buttons, a
// thumb as long as the page's share of the whole but never shorter than kThumbMinimum, and the
// track above and below it, which page. The mouse follows these parts, as Qt's scroll bar asks
// its style where each lies.
class SlimBarStyle : public QProxyStyle {
  public:
    SlimBarStyle() : QProxyStyle(QStyleFactory::create(QString::fromLatin1(kBaseStyle))) {}

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        switch (metric) {
            case PM_ScrollBarExtent:
                return kWidth;
            case PM_ScrollBarSliderMin:
                return kThumbMinimum;
            default:
                return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget) const override {
        const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
        if (control != CC_ScrollBar || bar == nullptr) {
            return QProxyStyle::subControlRect(control, option, part, widget);
        }
        const QRect track = bar->rect.adjusted(kSideMargin, kEndMargin, -kSideMargin, -kEndMargin);
        const QRect thumb = thumbRect(*bar, track);
        switch (part) {
            case SC_ScrollBarGroove:
                return track;
            case SC_ScrollBarSlider:
                return thumb;
            // Each page part shares its edge row with the thumb, and is tested first: a press
            // there pages.
            case SC_ScrollBarSubPage:
                return {track.topLeft(), thumb.topRight()};
            case SC_ScrollBarAddPage:
                return {thumb.bottomLeft(), track.bottomRight()};
            default:
                return {};
        }
    }

    SubControl hitTestComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                     const QPoint& point, const QWidget* widget) const override {
        const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
        if (control != CC_ScrollBar || bar == nullptr) {
            return QProxyStyle::hitTestComplexControl(control, option, point, widget);
        }
        for (const SubControl part :
             {SC_ScrollBarAddPage, SC_ScrollBarSubPage, SC_ScrollBarSlider, SC_ScrollBarGroove}) {
            const QRect area = subControlRect(control, option, part, widget);
            if (area.isValid() && area.contains(point)) {
                return part;
            }
        }
        return SC_None;
    }

  private:
    static QRect thumbRect(const QStyleOptionSlider& bar, const QRect& track) {
        const int room = track.height();
        int length = room;
        if (bar.maximum != bar.minimum) {
            const auto range = static_cast<qint64>(bar.maximum) - bar.minimum;
            length = static_cast<int>(qint64(bar.pageStep) * room / (range + bar.pageStep));
            // A range too large to share out fairly gets the shortest thumb.
            if (length < kThumbMinimum || range > INT_MAX / 2) {
                length = kThumbMinimum;
            }
            length = std::min(length, room);
        }
        const int top =
            track.top() + sliderPositionFromValue(bar.minimum, bar.maximum, bar.sliderPosition,
                                                  room - length, bar.upsideDown);
        return {track.left(), top, track.width(), length};
    }
};

// One style for every slim bar, made with the first and gone with the application.
QStyle* slimBarStyle() {
    static QPointer<SlimBarStyle> style;
    if (style == nullptr) {
        style = new SlimBarStyle;
        style->setParent(QCoreApplication::instance());
    }
    return style;
}

// Mirrors the area's hidden bar (range, steps, value) and stands over the viewport's right edge.
class OverlayBar : public QScrollBar {
  public:
    explicit OverlayBar(QAbstractScrollArea& area)
        : QScrollBar(Qt::Vertical, &area), area_(&area), followed_(area.verticalScrollBar()) {
        setObjectName(QString::fromLatin1(kOverlayName));
        setAccessibleName(QStringLiteral("Scroll bar"));
        setStyle(slimBarStyle());
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
    // The bar's style places the thumb and answers the mouse; the bar draws only the thumb.
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
