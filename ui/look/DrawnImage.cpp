// Drawing a kept picture in a scratch image, then keeping only its pixels.
#include "ui/look/DrawnImage.hpp"

#include <QPainter>

namespace velmora {

QImage drawnImage(const QSize& pixels, qreal devicePixelRatio,
                  const std::function<void(QPainter&)>& draw, QImage::Format format) {
    QImage scratch(pixels, format);
    if (scratch.isNull()) {
        return scratch;
    }
    scratch.setDevicePixelRatio(devicePixelRatio);
    scratch.fill(Qt::transparent);
    {
        QPainter painter(&scratch);
        draw(painter);
    }
    // The copy shares nothing with the scratch image, whose engine goes with it.
    return scratch.copy();
}

}  // namespace velmora
