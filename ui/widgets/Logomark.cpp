// Drawing of the logo mark, shared by the widget and by views that paint it themselves.
#include "ui/widgets/Logomark.hpp"

#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>

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

QImage Logomark::render(qreal size, qreal wind, qreal devicePixelRatio) {
    const int pixels = static_cast<int>(std::ceil(std::max<qreal>(size, 0) * devicePixelRatio));
    return drawnImage(QSize(pixels, pixels), devicePixelRatio, [&](QPainter& painter) {
        paint(painter, QPointF(size / 2, size / 2), size, wind);
    });
}

QSize Logomark::sizeHint() const {
    return {sidePixels(size_), sidePixels(size_)};
}

void Logomark::paintEvent(QPaintEvent* /*event*/) {
    const qreal ratio = devicePixelRatioF();
    if (drawn_.isNull() || drawnWind_ != wind_ || drawn_.devicePixelRatio() != ratio ||
        drawn_.deviceIndependentSize() != QSizeF(size())) {
        // Kept between paints: the spiral's many strokes are drawn again only when it winds.
        drawn_ = drawnImage(size() * ratio, ratio, [this](QPainter& onImage) {
            paint(onImage, QRectF(rect()).center(), size_, wind_);
        });
        drawnWind_ = wind_;
    }
    QPainter(this).drawImage(QPointF(0, 0), drawn_);
}

}  // namespace velmora
