// Pictures in the interface tests: what was drawn in them, and where they are left for a person.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QString>
#include <algorithm>
#include <cstdlib>

namespace velmora::test {

// build/artefacts/ui, created on demand; falls back beside the test program outside ctest.
inline QString artefactPath(const QString& fileName) {
    const QByteArray buildDir = qgetenv("VELMORA_BUILD_DIR");
    const QString root = buildDir.isEmpty()
                             ? QCoreApplication::applicationDirPath() + QStringLiteral("/..")
                             : QString::fromLocal8Bit(buildDir);
    QDir dir(root + QStringLiteral("/artefacts/ui"));
    dir.mkpath(QStringLiteral("."));
    return dir.filePath(fileName);
}

// The pixels drawn at all, the largest alpha, and the opaque ones not in `colour`.
struct Ink {
    int pixels = 0;
    int maxAlpha = 0;
    int solidOfOtherColour = 0;
};

inline Ink inkOf(const QImage& image, const QColor& colour = Qt::black) {
    Ink ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = QColor::fromRgba(image.pixel(x, y));
            ink.pixels += pixel.alpha() > 0 ? 1 : 0;
            ink.maxAlpha = std::max(ink.maxAlpha, pixel.alpha());
            ink.solidOfOtherColour += pixel.alpha() == 255 && pixel.rgb() != colour.rgb() ? 1 : 0;
        }
    }
    return ink;
}

// Whether `pixel` is `colour` give or take `tolerance` on each channel.
inline bool near(const QColor& pixel, const QColor& colour, int tolerance) {
    return std::abs(pixel.red() - colour.red()) <= tolerance &&
           std::abs(pixel.green() - colour.green()) <= tolerance &&
           std::abs(pixel.blue() - colour.blue()) <= tolerance;
}

// How many pixels of `image` show `colour`, give or take `tolerance` on each channel.
inline int pixelsNear(const QImage& image, const QColor& colour, int tolerance) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += near(image.pixelColor(x, y), colour, tolerance) ? 1 : 0;
        }
    }
    return count;
}

}  // namespace velmora::test
