// The spiral status image and the icon engine that draws it afresh at each requested size.
#include "ui/look/MenuBarIcon.hpp"

#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "ui/look/DrawnImage.hpp"

namespace velmora {

namespace {

constexpr double kRadiusOfHalfSide = 0.86;
constexpr double kTurns = 3.2;
constexpr qreal kLineWidthAtPointSize = 1.4;
constexpr qreal kMinimumLineWidth = 1.0;
// Dimmed as a disabled status item would be.
constexpr qreal kDisabledOpacity = 0.35;

// Sizes trays commonly ask for; any other size is drawn just as sharply on request.
constexpr int kTraySizes[] = {16, 18, 22, 24, 32, 36, 44, 48, 64};

QColor colourFor(QIcon::Mode mode) {
    switch (mode) {
        case QIcon::Selected:
            return Qt::white;
        case QIcon::Disabled: {
            QColor dimmed(Qt::black);
            dimmed.setAlphaF(kDisabledOpacity);
            return dimmed;
        }
        case QIcon::Normal:
        case QIcon::Active:
            break;
    }
    return Qt::black;
}

class SpiralIconEngine final : public QIconEngine {
  public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        MenuBarIcon::paint(*painter, rect, colourFor(mode));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return QPixmap::fromImage(drawnImage(size, 1.0, [&](QPainter& painter) {
            paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        }));
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (int side : kTraySizes) {
            sizes.append(QSize(side, side));
        }
        return sizes;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }

    QIconEngine* clone() const override { return new SpiralIconEngine; }
    QString key() const override { return QStringLiteral("velmora-spiral"); }
};

}  // namespace

const QIcon& MenuBarIcon::shared() {
    static const QIcon icon = [] {
        QIcon built(new SpiralIconEngine);
        built.setIsMask(true);
        return built;
    }();
    return icon;
}

QPainterPath MenuBarIcon::path(const QRectF& rect) {
    const QPointF centre = rect.center();
    const double radius = std::min(rect.width(), rect.height()) * 0.5 * kRadiusOfHalfSide;
    QPainterPath spiral;
    for (int i = 0; i <= segments; ++i) {
        const double t = static_cast<double>(i) / segments;
        const double r = radius * t;
        const double angle = t * 2.0 * std::numbers::pi * kTurns - std::numbers::pi / 2.0;
        // The image is specified with y growing upwards; Qt's grows downwards, hence the minus.
        const QPointF point(centre.x() + r * std::cos(angle), centre.y() - r * std::sin(angle));
        if (i == 0) {
            spiral.moveTo(point);
        } else {
            spiral.lineTo(point);
        }
    }
    return spiral;
}

qreal MenuBarIcon::lineWidth(qreal side) {
    return std::max(kLineWidthAtPointSize * side / pointSize, kMinimumLineWidth);
}

void MenuBarIcon::paint(QPainter& painter, const QRectF& rect, const QColor& colour) {
    const qreal side = std::min(rect.width(), rect.height());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, lineWidth(side), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path(rect));
    painter.restore();
}

}  // namespace velmora
