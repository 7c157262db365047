// Pictures drawn once and then kept (symbols, card shadows, the logo), without what drawing left.
#pragma once

#include <QImage>
#include <QSize>
#include <functional>

class QPainter;

namespace velmora {

// A transparent picture of `pixels` at `devicePixelRatio` in `format`, drawn by `draw` and handed
// back alone.
// Qt keeps the paint engine of every image once painted on (its rasteriser, stroker and path
// buffers, grown to the largest path drawn: often more than the picture itself) for as long as
// the image lives; a picture kept in a cache or a widget would hold it for nothing. The picture
// returned is a copy made after drawing, which never had an engine.
//
//     QImage mark = drawnImage(QSize(32, 32), 2.0, [](QPainter& p) { p.drawEllipse(...); });
QImage drawnImage(const QSize& pixels, qreal devicePixelRatio,
                  const std::function<void(QPainter&)>& draw,
                  QImage::Format format = QImage::Format_ARGB32_Premultiplied);

}  // namespace velmora
