// Kept pictures come back as drawn, at their ratio and format, and an empty one is never drawn on.
#include <gtest/gtest.h>

#include <QPainter>

#include "ui/look/DrawnImage.hpp"

namespace velmora {
namespace {

TEST(DrawnImage, ComesBackAsDrawnInDeviceIndependentPointsAtItsRatio) {
    constexpr qreal kRatio = 2.0;
    const QColor red(255, 0, 0);
    const QImage image = drawnImage(QSize(10, 6), kRatio, [&](QPainter& painter) {
        // Two points by three: four pixels by six at the ratio.
        painter.fillRect(QRectF(0, 0, 2, 3), red);
    });
    ASSERT_EQ(image.size(), QSize(10, 6));
    EXPECT_EQ(image.devicePixelRatio(), kRatio);
    EXPECT_EQ(image.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(image.pixelColor(0, 0), red);
    EXPECT_EQ(image.pixelColor(3, 5), red);
    // Everything not drawn on stays transparent.
    EXPECT_EQ(image.pixelColor(4, 0).alpha(), 0);
    EXPECT_EQ(image.pixelColor(9, 5).alpha(), 0);
}

TEST(DrawnImage, CanBeDrawnOnAgainLikeAnyOtherImage) {
    QImage image = drawnImage(QSize(4, 4), 1.0, [](QPainter& painter) {
        painter.fillRect(QRect(0, 0, 4, 4), Qt::black);
    });
    {
        QPainter painter(&image);
        painter.fillRect(QRect(2, 2, 2, 2), Qt::white);
    }
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(3, 3), QColor(Qt::white));
}

TEST(DrawnImage, AnAlphaPictureOfBlackDrawsAsTheColourDrawnDirectly) {
    QColor shade(Qt::black);
    shade.setAlpha(90);
    const QImage alpha = drawnImage(
        QSize(6, 6), 1.0, [&](QPainter& painter) { painter.fillRect(QRect(0, 0, 3, 6), shade); },
        QImage::Format_Alpha8);
    ASSERT_EQ(alpha.format(), QImage::Format_Alpha8);
    QImage throughPicture(6, 6, QImage::Format_RGB32);
    throughPicture.fill(Qt::white);
    QImage direct = throughPicture;
    QPainter(&throughPicture).drawImage(0, 0, alpha);
    QPainter(&direct).fillRect(QRect(0, 0, 3, 6), shade);
    EXPECT_EQ(throughPicture, direct);
    EXPECT_NE(throughPicture.pixel(0, 0), QColor(Qt::white).rgb());
}

TEST(DrawnImage, AnEmptySizeGivesANullImageWithoutDrawing) {
    bool drawn = false;
    for (const QSize& empty : {QSize(0, 0), QSize(0, 5), QSize(5, -1)}) {
        EXPECT_TRUE(drawnImage(empty, 1.0, [&](QPainter&) { drawn = true; }).isNull());
    }
    EXPECT_FALSE(drawn);
}

}  // namespace
}  // namespace velmora
