// Pictures to paint on and what painting on them costs, for the tests that hold a painting
// routine to what Qt draws and to what Qt's own way of drawing it costs.
#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <functional>
#include <limits>

namespace velmora::test {

// A picture of `size` at `ratio` every channel of which changes from pixel to pixel, so that a
// translucent fill blended differently shows.
inline QImage variedImage(const QSize& size, qreal ratio = 1) {
    QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, qRgb((x * 7) % 256, (y * 5) % 256, (x * y) % 256));
        }
    }
    image.setDevicePixelRatio(ratio);
    return image;
}

// The fastest of `runs` runs of `paints` paints on `image` (each with a new antialiasing painter),
// in nanoseconds a paint: the least disturbed by whatever else the machine does.
inline double fastestPaintNs(QImage& image, const std::function<void(QPainter&)>& paint) {
    constexpr int kRuns = 11;
    constexpr int kPaints = 20;
    qint64 fastest = std::numeric_limits<qint64>::max();
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < kPaints; ++i) {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            paint(painter);
        }
        fastest = std::min(fastest, clock.nsecsElapsed());
    }
    return static_cast<double>(fastest) / kPaints;
}

}  // namespace velmora::test
