// Drawing of the logo mark, shared by the widget and by views that paint it themselves.
#include "ui/widgets/Logomark.hpp"

#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <optional>

#include "ui/look/DrawnAhead.hpp"
#include "ui/look/DrawnImage.hpp"
#include "ui/look/SpiralMark.hpp"
#include "ui/look/Theme.hpp"
#include "ui/widgets/Accessibility.hpp"

namespace velmora {

namespace {

constexpr qreal kSizePerLineWidth = 13.0;
constexpr qreal kMinimumLineWidth = 1.5;
constexpr qreal kMiterLimit = 10.0;

int sidePixels(qreal size) {
    return std::max(0, static_cast<int>(std::ceil(size)));
}

// The mark centred in a widget of `area`, at `ratio`; any thread may draw it.
QImage markImage(const QSize& area, qreal size, qreal wind, qreal ratio) {
    return drawnImage(area * ratio, ratio, [&](QPainter& onImage) {
        Logomark::paint(onImage, QRectF(QPointF(0, 0), QSizeF(area)).center(), size, wind);
    });
}

}  // namespace

Logomark::Logomark(qreal size, qreal wind, QWidget* parent)
    : QWidget(parent), size_(size), wind_(wind) {
    setFixedSize(sidePixels(size), sidePixels(size));
    setAttribute(Qt::WA_TranslucentBackground);
    // Decoration only: the product name always stands beside it.
    setFocusPolicy(Qt::NoFocus);
    accessibility::hide(*this);
}

void Logomark::setWind(qreal wind) {
    if (wind == wind_) {
        return;
    }
    wind_ = wind;
    update();
}

qreal Logomark::lineWidth(qreal size) {
    return std::max(size / kSizePerLineWidth, kMinimumLineWidth);
}

void Logomark::paint(QPainter& painter, const QPointF& centre, qreal size, qreal wind) {
    const QRectF frame(centre.x() - size / 2, centre.y() - size / 2, size, size);
    QPen pen(Theme::ink(), lineWidth(size), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    pen.setMiterLimit(kMiterLimit);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(SpiralMark{wind, turns}.path(frame));
    painter.restore();
}

QSize Logomark::sizeHint() const {
    return {sidePixels(size_), sidePixels(size_)};
}

bool Logomark::isDrawn(qreal ratio) const {
    return !drawn_.isNull() && drawnWind_ == wind_ && drawn_.devicePixelRatio() == ratio &&
           drawnArea_ == size();
}

QString Logomark::aheadKey(qreal ratio) const {
    return QStringLiteral("velmora-logomark:%1:%2:%3x%4:%5")
        .arg(size_)
        .arg(wind_)
        .arg(width())
        .arg(height())
        .arg(ratio);
}

void Logomark::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    const qreal ratio = devicePixelRatioF();
    if (!isDrawn(ratio)) {
        DrawnAhead::start(aheadKey(ratio), [area = size(), size = size_, wind = wind_, ratio] {
            return markImage(area, size, wind, ratio);
        });
    }
}

void Logomark::paintEvent(QPaintEvent* /*event*/) {
    const qreal ratio = devicePixelRatioF();
    if (!isDrawn(ratio)) {
        // Kept between paints: the spiral's many strokes are drawn again only when it winds.
        std::optional<QImage> ahead = DrawnAhead::take(aheadKey(ratio));
        drawn_ = ahead ? *std::move(ahead) : markImage(size(), size_, wind_, ratio);
        drawnWind_ = wind_;
        drawnArea_ = size();
    }
    QPainter(this).drawImage(QPointF(0, 0), drawn_);
}

}  // namespace velmora
