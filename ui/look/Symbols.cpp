// Symbol rendering: the mapped Phosphor SVG (compiled in as a Qt resource), recoloured and cached.
#include "ui/look/Symbols.hpp"

#include <QApplication>
#include <QCache>
#include <QFile>
#include <QIconEngine>
#include <QPaintDevice>
#include <QPainter>
#include <QStringBuilder>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "ui/look/DrawnAhead.hpp"
#include "ui/look/DrawnImage.hpp"
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
// Stroke width as a share of the symbol's square: Phosphor's cuts as drawn (16 and 24 units of
// its 256), and what text of each weight asks for. At the small sizes the design uses, the bold
// cut alone still draws a bold symbol as a pale hairline, so heavier weights thicken it further.
constexpr qreal kRegularCutStroke = 16.0 / 256;
constexpr qreal kBoldCutStroke = 24.0 / 256;
constexpr qreal kMediumStroke = 0.075;
constexpr qreal kSemiboldStroke = 0.095;
constexpr qreal kBoldStroke = 0.14;
// Thickening works on a picture this many times larger, then scaled down.
constexpr int kOversample = 8;

QCache<QString, QImage>& imageCache() {
    static QCache<QString, QImage> cache(kImageCacheKilobytes);
    return cache;
}

// Parsed SVGs, the ones used last, for a symbol drawn again in another colour or size (a hover).
// A renderer is only needed to draw a picture the image cache does not hold, and once drawn it
// keeps its parsed document and the paths converted for drawing, several kilobytes a symbol: kept
// for every symbol ever shown they came to more than the pictures themselves.
constexpr qsizetype kRenderersKept = 24;

// Parses `icon`'s SVG into `renderer`, which stays invalid when the SVG cannot be read.
void load(QSvgRenderer& renderer, const PhosphorIcon& icon) {
    const QString path = QString::fromStdString(icon.resourcePath());
    if (QFile::exists(path)) {
        renderer.load(path);
    }
}

// The parsed renderer of `icon`, null when its SVG cannot be read; valid until the next call.
QSvgRenderer* rendererFor(const PhosphorIcon& icon) {
    static QCache<QString, QSvgRenderer> renderers(kRenderersKept);
    const QString path = QString::fromStdString(icon.resourcePath());
    QSvgRenderer* renderer = renderers.object(path);
    if (renderer == nullptr) {
        renderer = new QSvgRenderer;
        load(*renderer, icon);
        renderers.insert(path, renderer);
    }
    return renderer->isValid() ? renderer : nullptr;
}

struct Resolved {
    QSvgRenderer* renderer = nullptr;
    SymbolWeight cut = SymbolWeight::regular;
};

// `parsed` gives the renderer of an icon's SVG, null when it cannot be read.
template <class Parsed>
Resolved resolve(std::string_view name, FontWeight weight, Parsed parsed) {
    if (const PhosphorIcon* icon = SymbolMap::find(name)) {
        const PhosphorIcon cut = icon->at(weight);
        if (QSvgRenderer* renderer = parsed(cut)) {
            return {renderer, cut.weight};
        }
    }
    return {parsed(SymbolMap::fallback()), SymbolWeight::regular};
}

Resolved resolve(std::string_view name, FontWeight weight) {
    return resolve(name, weight, rendererFor);
}

qreal strokeFor(FontWeight weight) {
    switch (weight) {
        case FontWeight::medium:
            return kMediumStroke;
        case FontWeight::semibold:
            return kSemiboldStroke;
        case FontWeight::bold:
            return kBoldStroke;
        case FontWeight::regular:
            break;
    }
    return kRegularCutStroke;
}

// How far (in pixels, on each side) the strokes of `cut` must grow to look as heavy as text of
// `weight` in a square of `pixels`; a filled shape has no strokes to thicken.
qreal growthFor(SymbolWeight cut, FontWeight weight, int pixels) {
    if (cut == SymbolWeight::fill) {
        return 0;
    }
    const qreal drawn = cut == SymbolWeight::bold ? kBoldCutStroke : kRegularCutStroke;
    return std::max<qreal>(0, (strokeFor(weight) - drawn) * pixels / 2);
}

// The opaque parts of `shape` (black on transparent) grown by `radius` pixels all round: each
// pixel takes the largest alpha within the disc of that radius around it. The disc is taken row by
// row: the row `dy` away spans `reach[dy]` pixels either side. The largest alpha within each such
// span of a row is worked out once and handed to every row whose disc takes it in, so the cost
// grows with the radius rather than with the disc's area (a bold symbol's oversampled picture has
// a disc of some 200 pixels).
QImage thickened(const QImage& shape, int radius) {
    const int width = shape.width();
    const int height = shape.height();
    const auto columns = static_cast<std::size_t>(width);
    const auto reachCount = static_cast<std::size_t>(radius) + 1;
    std::vector<int> reach(reachCount);
    for (std::size_t dy = 0; dy < reachCount; ++dy) {
        const auto across = static_cast<int>(dy);
        int w = 0;
        while ((w + 1) * (w + 1) + across * across <= radius * radius) {
            ++w;
        }
        reach[dy] = w;
    }
    // spans[w * width + x]: the largest alpha of the row at hand from x - w to x + w.
    std::vector<std::uint8_t> spans(reachCount * columns);
    std::vector<std::uint8_t> grownAlpha(columns * static_cast<std::size_t>(height), 0);
    for (int row = 0; row < height; ++row) {
        const auto* in = reinterpret_cast<const QRgb*>(shape.constScanLine(row));
        std::uint8_t* alpha = spans.data();
        for (std::size_t x = 0; x < columns; ++x) {
            alpha[x] = static_cast<std::uint8_t>(qAlpha(in[x]));
        }
        for (std::size_t w = 1; w < reachCount; ++w) {
            const std::uint8_t* narrower = spans.data() + (w - 1) * columns;
            std::uint8_t* wider = spans.data() + w * columns;
            std::copy(narrower, narrower + columns, wider);
            for (std::size_t x = 0; x + w < columns; ++x) {
                wider[x] = std::max(wider[x], alpha[x + w]);
            }
            for (std::size_t x = w; x < columns; ++x) {
                wider[x] = std::max(wider[x], alpha[x - w]);
            }
        }
        for (int dy = -radius; dy <= radius; ++dy) {
            const int y = row - dy;
            if (y < 0 || y >= height) {
                continue;
            }
            const std::uint8_t* span =
                spans.data() +
                static_cast<std::size_t>(reach[static_cast<std::size_t>(std::abs(dy))]) * columns;
            std::uint8_t* out = grownAlpha.data() + static_cast<std::size_t>(y) * columns;
            for (std::size_t x = 0; x < columns; ++x) {
                out[x] = std::max(out[x], span[x]);
            }
        }
    }
    QImage grown(shape.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* alpha = grownAlpha.data() + static_cast<std::size_t>(y) * columns;
        auto* out = reinterpret_cast<QRgb*>(grown.scanLine(y));
        for (std::size_t x = 0; x < columns; ++x) {
            out[x] = qRgba(0, 0, 0, alpha[x]);
        }
    }
    return grown;
}

// The SVG's shape in black on a transparent square of `pixels`, its strokes grown by `growth`.
void renderShape(QPainter& painter, QSvgRenderer& renderer, int pixels, qreal growth) {
    const int radius = static_cast<int>(std::lround(growth * kOversample));
    if (radius <= 0) {
        renderer.render(&painter, QRectF(0, 0, pixels, pixels));
        return;
    }
    QImage large(pixels * kOversample, pixels * kOversample, QImage::Format_ARGB32_Premultiplied);
    large.fill(Qt::transparent);
    QPainter drawing(&large);
    renderer.render(&drawing, QRectF(0, 0, large.width(), large.height()));
    drawing.end();
    painter.drawImage(QPoint(0, 0),
                      thickened(large, radius)
                          .scaled(pixels, pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

void drawRing(QPainter& painter, int pixels, const QColor& colour) {
    const qreal inset = pixels * kRingInset;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, std::max<qreal>(1.0, pixels * kRingWidthPerSide)));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(inset, inset, pixels - 2 * inset, pixels - 2 * inset));
}

// Asked at every showing and paint of every symbol: built in one go, as QString::arg() parses its
// pattern again for each argument.
QString imageKey(std::string_view name, int pixels, const QColor& colour, FontWeight weight) {
    constexpr int kHex = 16;
    return QStringLiteral("velmora-symbol:") %
           QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())) % u':' %
           QString::number(pixels) % u':' % QString::number(colour.rgba(), kHex) % u':' %
           QString::number(static_cast<int>(weight));
}

// The symbol `found` at `pixels` in `colour`; touches nothing shared, so any thread may draw it.
QImage drawn(const Resolved& found, FontWeight weight, int pixels, const QColor& colour) {
    return drawnImage(QSize(pixels, pixels), 1.0, [&](QPainter& painter) {
        if (found.renderer != nullptr) {
            // The SVGs paint in currentColor, which Qt renders black: keep their shape, swap the
            // colour.
            renderShape(painter, *found.renderer, pixels, growthFor(found.cut, weight, pixels));
            painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
            painter.fillRect(QRect(0, 0, pixels, pixels), colour);
        } else {
            drawRing(painter, pixels, colour);
        }
    });
}

// A symbol icon's pictures, drawn at the pixel size asked for, or at the symbol's own size in
// the middle of it; the last one is kept, as a button asks for the same picture at every paint.
class SymbolIconEngine final : public QIconEngine {
  public:
    SymbolIconEngine(std::string name, const QColor& colour, FontWeight weight,
                     std::optional<qreal> pointSize = std::nullopt)
        : name_(std::move(name)), colour_(colour), weight_(weight), pointSize_(pointSize) {}

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }

    // `size` in device pixels; `scale` the density they are shown at.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State /*state*/,
                         qreal scale) override {
        const int pixels = std::min(size.width(), size.height());
        if (pixels <= 0) {
            return {};
        }
        if (last_.width() != pixels || lastScale_ != scale) {
            last_ = QPixmap::fromImage(drawnAt(pixels, scale));
            lastScale_ = scale;
        }
        if (mode == QIcon::Normal || mode == QIcon::Active) {
            return last_;
        }
        // As Qt's own icons: the style greys a disabled picture out.
        const QStyleOption option;
        return QApplication::style()->generatedIconPixmap(mode, last_, &option);
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal ratio =
            painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, scaledPixmap(rect.size() * ratio, mode, state, ratio));
    }

    void virtual_hook(int id, void* data) override {
        // QIcon asks for a picture at a density above one through this hook.
        if (id == QIconEngine::ScaledPixmapHook) {
            auto& asked = *static_cast<QIconEngine::ScaledPixmapArgument*>(data);
            asked.pixmap = scaledPixmap(asked.size, asked.mode, asked.state, asked.scale);
            return;
        }
        QIconEngine::virtual_hook(id, data);
    }

    QIconEngine* clone() const override { return new SymbolIconEngine(*this); }
    QString key() const override { return QStringLiteral("velmora-symbol"); }

  private:
    QImage drawnAt(int pixels, qreal scale) const {
        if (!pointSize_) {
            return Symbols::image(name_, pixels, colour_, weight_);
        }
        const int own = Symbols::pixelsFor(*pointSize_, scale);
        if (own >= pixels) {
            return Symbols::image(name_, pixels, colour_, weight_);
        }
        const QImage symbol = Symbols::image(name_, own, colour_, weight_);
        return drawnImage(QSize(pixels, pixels), 1.0, [&](QPainter& painter) {
            painter.drawImage(QPoint((pixels - own) / 2, (pixels - own) / 2), symbol);
        });
    }

    std::string name_;
    QColor colour_;
    FontWeight weight_;
    std::optional<qreal> pointSize_;
    QPixmap last_;
    qreal lastScale_ = 0;
};

}  // namespace

qreal Symbols::boxSide(qreal pointSize) {
    return pointSize * kBoxPerPoint;
}

bool Symbols::isKnown(std::string_view name) {
    const PhosphorIcon* icon = SymbolMap::find(name);
    return icon != nullptr && rendererFor(*icon) != nullptr;
}

QImage Symbols::image(std::string_view name, int pixels, const QColor& colour, FontWeight weight) {
    if (pixels <= 0) {
        return {};
    }
    const QString key = imageKey(name, pixels, colour, weight);
    if (const QImage* cached = imageCache().object(key)) {
        return *cached;
    }
    std::optional<QImage> ahead = DrawnAhead::take(key);
    const QImage result =
        ahead ? *std::move(ahead) : drawn(resolve(name, weight), weight, pixels, colour);
    const qsizetype cost = std::max<qsizetype>(1, result.sizeInBytes() / kBytesPerKilobyte);
    imageCache().insert(key, new QImage(result), cost);
    return result;
}

void Symbols::prepare(std::string_view name, int pixels, const QColor& colour, FontWeight weight) {
    if (pixels <= 0) {
        return;
    }
    const QString key = imageKey(name, pixels, colour, weight);
    if (imageCache().contains(key)) {
        return;
    }
    // The worker parses the SVG for itself: the renderers kept here belong to the main thread.
    DrawnAhead::start(key, [name = std::string(name), pixels, colour, weight] {
        std::vector<std::unique_ptr<QSvgRenderer>> parsed;
        const Resolved found = resolve(name, weight, [&parsed](const PhosphorIcon& icon) {
            auto renderer = std::make_unique<QSvgRenderer>();
            load(*renderer, icon);
            if (!renderer->isValid()) {
                return static_cast<QSvgRenderer*>(nullptr);
            }
            return parsed.emplace_back(std::move(renderer)).get();
        });
        return drawn(found, weight, pixels, colour);
    });
}

void Symbols::prepare(const SymbolLook& look, qreal devicePixelRatio) {
    prepare(look.name, look.pointSize, look.colour, devicePixelRatio, look.weight);
}

int Symbols::pixelsFor(qreal pointSize, qreal devicePixelRatio) {
    return static_cast<int>(std::lround(boxSide(pointSize) * devicePixelRatio));
}

void Symbols::prepare(std::string_view name, qreal pointSize, const QColor& colour,
                      qreal devicePixelRatio, FontWeight weight) {
    prepare(name, pixelsFor(pointSize, devicePixelRatio), colour, weight);
}

QIcon Symbols::icon(std::string name, const QColor& colour, FontWeight weight) {
    return QIcon(new SymbolIconEngine(std::move(name), colour, weight));
}

QIcon Symbols::icon(std::string name, qreal pointSize, const QColor& colour, FontWeight weight) {
    return QIcon(new SymbolIconEngine(std::move(name), colour, weight, pointSize));
}

QPixmap Symbols::pixmap(std::string_view name, qreal pointSize, const QColor& colour,
                        qreal devicePixelRatio, FontWeight weight) {
    QPixmap result =
        QPixmap::fromImage(image(name, pixelsFor(pointSize, devicePixelRatio), colour, weight));
    result.setDevicePixelRatio(devicePixelRatio);
    return result;
}

void Symbols::draw(QPainter& painter, const QPointF& centre, const SymbolLook& look) {
    draw(painter, centre, look.pointSize, look.name, look.colour, look.weight);
}

void Symbols::draw(QPainter& painter, const QPointF& centre, qreal pointSize, std::string_view name,
                   const QColor& colour, FontWeight weight) {
    const qreal side = boxSide(pointSize);
    const qreal ratio = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
    const int pixels = pixelsFor(pointSize, ratio);
    const QImage rendered = image(name, pixels, colour, weight);
    painter.save();
    const QTransform toDevice = painter.deviceTransform();
    const bool aligned = toDevice.type() <= QTransform::TxScale &&
                         qFuzzyCompare(toDevice.m11(), ratio) &&
                         qFuzzyCompare(toDevice.m22(), ratio);
    if (aligned) {
        // Pixel for pixel on the device's grid: resampling a small symbol to a fractional
        // position would smear its thin strokes into a pale blur.
        const QPointF onDevice = toDevice.map(centre);
        const QPointF corner(std::round(onDevice.x() - pixels / 2.0),
                             std::round(onDevice.y() - pixels / 2.0));
        QImage placed = rendered;
        placed.setDevicePixelRatio(ratio);
        painter.drawImage(toDevice.inverted().map(corner), placed);
    } else {
        const QRectF box(centre.x() - side / 2, centre.y() - side / 2, side, side);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(box, rendered);
    }
    painter.restore();
}

}  // namespace velmora
