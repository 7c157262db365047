// A banded fill shows exactly what QPainter::fillRect() shows, at every pixel ratio, under a clip
// that cuts its rows and under an opacity, and a tall translucent one costs a fraction of Qt's.
#include <gtest/gtest.h>

#include <QPainter>
#include <QRegion>
#include <functional>

#include "tests/ui/PaintCost.hpp"
#include "ui/look/FlatFill.hpp"

namespace velmora {
namespace {

constexpr QSize kCanvas{120, 400};
const QColor kInk(20, 30, 40, 90);

struct Case {
    const char* name;
    qreal ratio;
    QPointF moved;
    std::function<void(QPainter&)> setUp;
};

TEST(FlatFill, ShowsWhatQtsFillShowsAtEveryRatioUnderAClipAndAnOpacity) {
    const QRect rect(3, 5, 100, 371);
    const Case cases[] = {
        {"ratio 1", 1.0, {}, {}},
        {"ratio 3, moved", 3.0, {4, 7}, {}},
        {"ratio 1.5", 1.5, {}, {}},
        {"moved by half a pixel", 1.0, {0.5, 0.5}, {}},
        {"rows cut in two by the clip",
         1.0,
         {},
         [](QPainter& p) { p.setClipRegion(QRegion(0, 0, 40, 400) + QRegion(60, 0, 60, 400)); }},
        {"at half opacity", 1.0, {}, [](QPainter& p) { p.setOpacity(0.5); }},
    };
    for (const Case& c : cases) {
        for (const QColor& colour : {kInk, QColor(200, 100, 50)}) {
            const auto paint = [&](const std::function<void(QPainter&)>& fill) {
                QImage image = test::variedImage(kCanvas, c.ratio);
                QPainter painter(&image);
                painter.translate(c.moved);
                if (c.setUp) {
                    c.setUp(painter);
                }
                fill(painter);
                painter.end();
                return image;
            };
            EXPECT_TRUE(paint([&](QPainter& p) { fillFlat(p, rect, colour); }) ==
                        paint([&](QPainter& p) { p.fillRect(rect, colour); }))
                << c.name << ": the fill of " << colour.name(QColor::HexArgb).toStdString()
                << " differs from Qt's";
        }
    }
}

// Qt 6.4 hands a translucent fill of 96 rows or more to its thread pool and waits for it.
TEST(FlatFill, ATallTranslucentFillCostsAFractionOfQtsOwn) {
    constexpr double kAtMost = 0.5;
    const QRect thumb(100, 10, 6, 300);
    QImage image = test::variedImage(kCanvas);
    const auto [ours, qts] = test::fastestPaintsNs(
        image, [&](QPainter& p) { fillFlat(p, thumb, kInk); },
        [&](QPainter& p) { p.fillRect(thumb, kInk); });
    EXPECT_LE(ours, qts * kAtMost) << "ours " << ours << " ns, Qt's " << qts << " ns a fill";
}

}  // namespace
}  // namespace velmora
