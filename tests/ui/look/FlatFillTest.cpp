// A banded fill shows exactly what QPainter::fillRect() shows, at every pixel ratio, under a clip
// that cuts its rows and under an opacity, and a tall translucent one costs a fraction of Qt's.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <functional>
#include <limits>

#include "ui/look/FlatFill.hpp"

namespace velmora {
namespace {

constexpr QSize kCanvas{120, 400};
const QColor kInk(20, 30, 40, 90);

// Every channel changes from pixel to pixel, so that a blend that differs shows.
QImage background(qreal ratio) {
    QImage image(kCanvas * ratio, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, qRgb((x * 7) % 256, (y * 5) % 256, (x * y) % 256));
        }
    }
    image.setDevicePixelRatio(ratio);
    return image;
}

QImage filled(qreal ratio, const std::function<void(QPainter&)>& fill) {
    QImage image = background(ratio);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    fill(painter);
    return image;
}

struct Case {
    const char* name;
    qreal ratio;
    QPointF moved;
    std::function<void(QPainter&)> setUp;
};

TEST(FlatFill, ShowsWhatQtsFillShowsAtEveryRatioUnderAClipAndAnOpacity) {
    const QRect rect(3, 5, 100, 371);
    const std::vector<Case> cases{
        {"ratio 1", 1.0, {}, {}},
        {"ratio 2", 2.0, {}, {}},
        {"ratio 3, moved", 3.0, {4, 7}, {}},
        {"ratio 1.5", 1.5, {}, {}},
        {"moved by half a pixel", 1.0, {0.5, 0.5}, {}},
        {"rows cut in two by the clip",
         1.0,
         {},
         [](QPainter& p) { p.setClipRegion(QRegion(0, 0, 40, 400) + QRegion(60, 0, 60, 400)); }},
        {"an opaque colour at half opacity", 1.0, {}, [](QPainter& p) { p.setOpacity(0.5); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const QColor& colour : {kInk, QColor(200, 100, 50)}) {
            const auto paint = [&](const std::function<void(QPainter&)>& fill) {
                return filled(c.ratio, [&](QPainter& p) {
                    p.translate(c.moved);
                    if (c.setUp) {
                        c.setUp(p);
                    }
                    fill(p);
                });
            };
            EXPECT_TRUE(paint([&](QPainter& p) { fillFlat(p, rect, colour); }) ==
                        paint([&](QPainter& p) { p.fillRect(rect, colour); }))
                << "the banded fill of " << colour.name(QColor::HexArgb).toStdString()
                << " differs from Qt's";
        }
    }
}

// Qt 6.4 hands a translucent fill of 96 rows or more to its thread pool and waits for it.
TEST(FlatFill, ATallTranslucentFillCostsAFractionOfQtsOwn) {
    constexpr int kFills = 20;
    constexpr int kRuns = 15;
    constexpr double kAtMost = 1.0 / 3;
    const QRect thumb(100, 10, 6, 300);
    QImage image = background(1.0);
    const auto best = [&](const std::function<void(QPainter&)>& fill) {
        qint64 fastest = std::numeric_limits<qint64>::max();
        for (int run = 0; run < kRuns; ++run) {
            QElapsedTimer clock;
            clock.start();
            for (int i = 0; i < kFills; ++i) {
                QPainter painter(&image);
                fill(painter);
            }
            fastest = std::min(fastest, clock.nsecsElapsed());
        }
        return static_cast<double>(fastest);
    };
    const double qts = best([&](QPainter& p) { p.fillRect(thumb, kInk); });
    const double ours = best([&](QPainter& p) { fillFlat(p, thumb, kInk); });
    EXPECT_LE(ours, qts * kAtMost)
        << "ours " << ours / kFills / 1000 << " us, Qt's " << qts / kFills / 1000 << " us a fill";
}

}  // namespace
}  // namespace velmora
