// Symbol rendering: the mapped Phosphor SVG (compiled in as a Qt resource), recoloured and cached.
#include "ui/look/Symbols.hpp"

#include <QCache>
#include <QFile>
#include <QHash>
#include <QPaintDevice>
#include <QPainter>
#include <QSvgRenderer>
#include <cmath>
#include <memory>

#include "ui/look/SymbolMap.hpp"

namespace velmora {

namespace {

constexpr qreal kBoxPerPoint = 1.2;
// Placeholder drawn only if even the fallback SVG cannot be read: a thin ring, as neutral as that.
constexpr qreal kRingInset = 0.2;
constexpr qreal kRingWidthPerSide = 0.08;
// Rendered symbols kept for reuse, in kilobytes (a 64-pixel symbol takes 16).
constexpr qsizetype kImageCacheKilobytes = 4096;
constexpr qsizetype kBytesPerKilobyte = 1024;

QCache<QString, QImage>& imageCache() {
    static QCache<QString, QImage> cache(kImageCacheKilobytes);
    return cache;
}

// One parsed renderer per SVG, kept for the process; symbols repeat on every page.
QSvgRenderer* rendererFor(const PhosphorIcon& icon) {
    static QHash<QString, std::shared_ptr<QSvgRenderer>> renderers;
    const QString path = QString::fromStdString(icon.resourcePath());
    auto found = renderers.find(path);
    if (found == renderers.end()) {
        auto renderer = std::make_shared<QSvgRenderer>();
        if (QFile::exists(path)) {
            renderer->load(path);
        }
        found = renderers.insert(path, renderer);
    }
    return found.value()->isValid() ? found.value().get() : nullptr;
}

QSvgRenderer* resolve(std::string_view name) {
    if (const PhosphorIcon* icon = SymbolMap::find(name)) {
        if (QSvgRenderer* renderer = rendererFor(*icon)) {
            return renderer;
        }
    }
    return rendererFor(SymbolMap::fallback());
}

void drawRing(QPainter& painter, int pixels, const QColor& colour) {
    const qreal inset = pixels * kRingInset;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, std::max<qreal>(1.0, pixels * kRingWidthPerSide)));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(inset, inset, pixels - 2 * inset, pixels - 2 * inset));
}

}  // namespace

qreal Symbols::boxSide(qreal pointSize) {
    return pointSize * kBoxPerPoint;
}

bool Symbols::isKnown(std::string_view name) {
    const PhosphorIcon* icon = SymbolMap::find(name);
    return icon != nullptr && rendererFor(*icon) != nullptr;
}

QImage Symbols::image(std::string_view name, int pixels, const QColor& colour) {
    if (pixels <= 0) {
        return {};
    }
    const QString key =
        QStringLiteral("velmora-symbol:%1:%2:%3")
            .arg(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())))
            .arg(pixels)
            .arg(colour.rgba(), 8, 16);
    if (const QImage* cached = imageCache().object(key)) {
        return *cached;
    }

    QImage result(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    result.fill(Qt::transparent);
    QPainter painter(&result);
    if (QSvgRenderer* renderer = resolve(name)) {
        // The SVGs paint in currentColor, which Qt renders black: keep their shape, swap the
        // colour.
        renderer->render(&painter, QRectF(0, 0, pixels, pixels));
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(result.rect(), colour);
    } else {
        drawRing(painter, pixels, colour);
    }
    painter.end();
    const qsizetype cost = std::max<qsizetype>(1, result.sizeInBytes() / kBytesPerKilobyte);
    imageCache().insert(key, new QImage(result), cost);
    return result;
}

QPixmap Symbols::pixmap(std::string_view name, qreal pointSize, const QColor& colour,
                        qreal devicePixelRatio) {
    const int pixels = static_cast<int>(std::lround(boxSide(pointSize) * devicePixelRatio));
    QPixmap result = QPixmap::fromImage(image(name, pixels, colour));
    result.setDevicePixelRatio(devicePixelRatio);
    return result;
}

void Symbols::draw(QPainter& painter, const QPointF& centre, qreal pointSize, std::string_view name,
                   const QColor& colour) {
    const qreal side = boxSide(pointSize);
    const qreal ratio = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
    const QRectF box(centre.x() - side / 2, centre.y() - side / 2, side, side);
    const QImage rendered = image(name, static_cast<int>(std::lround(side * ratio)), colour);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(box, rendered);
    painter.restore();
}

}  // namespace velmora
