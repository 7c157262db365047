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

struct PaintCosts {
    double ours;
    double qts;
};

// What a paint of `ours` and of `qts` on `image` costs (each with a new antialiasing painter), in
// nanoseconds: the fastest of several runs of several paints, the two taking turns run by run so
// that a burst of load elsewhere on the machine slows both alike rather than one of them.
inline PaintCosts fastestPaintsNs(QImage& image, const std::function<void(QPainter&)>& ours,
                                  const std::function<void(QPainter&)>& qts) {
    constexpr int kRuns = 15;
    constexpr int kPaints = 20;
    const auto run = [&](const std::function<void(QPainter&)>& paint) {
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < kPaints; ++i) {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            paint(painter);
        }
        return clock.nsecsElapsed();
    };
    qint64 fastestOurs = std::numeric_limits<qint64>::max();
    qint64 fastestQts = std::numeric_limits<qint64>::max();
    for (int i = 0; i < kRuns; ++i) {
        fastestQts = std::min(fastestQts, run(qts));
        fastestOurs = std::min(fastestOurs, run(ours));
    }
    return {static_cast<double>(fastestOurs) / kPaints, static_cast<double>(fastestQts) / kPaints};
}

}  // namespace velmora::test
