// Card surfaces and their soft shadows.
#include "ui/widgets/Card.hpp"

#include <QChildEvent>
#include <QMoveEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <optional>
#include <tuple>
#include <vector>

#include "ui/look/DrawnAhead.hpp"
#include "ui/look/DrawnImage.hpp"
#include "ui/look/RoundedShapes.hpp"
#include "ui/look/Theme.hpp"

namespace velmora {

namespace {

// A blurred edge is approximated by stacked translucent rounded rectangles, each a step larger:
// their overlap fades linearly from the full shadow inside the edge to nothing outside it.
constexpr int kMinimumLayers = 3;
// Shadows of this many looks are kept, the one painted longest ago giving way to a new one; the
// looks a hover passes through, one a frame, are not kept at all. In full colour a hovered grid
// card's shadow is some 35 KB, so this bounds them to a few hundred.
constexpr std::size_t kRememberedShadows = 8;

// A card's shadow cut in pieces: corners as drawn for a small card, edges laid in tiles of its
// straight stretch. Drawing a long card's shadow layer by layer costs as much as the rest of its
// page, and a line of it stretched along the edge takes Qt's scaled blit, pixel by pixel, where
// tiles drawn at their own size are blended many pixels at a time.
constexpr int kTileLength = 32;

struct SlicedShadow {
    // The shadow of a card of side 2 × `corner` + kTileLength, `reach` inside each edge.
    QImage image;
    int reach = 0;
    int corner = 0;
    std::uint64_t lastPainted = 0;
};

using ShadowKey = std::tuple<qreal, qreal, qreal, qreal>;

ShadowKey shadowKey(const CardShadow& shadow, qreal pixelRatio) {
    return {shadow.radius, shadow.blur, shadow.offsetY, pixelRatio};
}

QString aheadKey(const CardShadow& shadow, qreal pixelRatio) {
    return QStringLiteral("velmora-shadow:%1:%2:%3:%4")
        .arg(shadow.radius)
        .arg(shadow.blur)
        .arg(shadow.offsetY)
        .arg(pixelRatio);
}

std::map<ShadowKey, SlicedShadow>& shadowsMade() {
    static std::map<ShadowKey, SlicedShadow> made;
    return made;
}

// The shadow's cut, its picture still to draw.
SlicedShadow cutOf(const CardShadow& shadow) {
    SlicedShadow sliced;
    sliced.reach = static_cast<int>(std::ceil(shadow.blur + std::abs(shadow.offsetY))) + 1;
    sliced.corner =
        static_cast<int>(std::ceil(shadow.radius + shadow.blur + std::abs(shadow.offsetY))) + 1;
    return sliced;
}

// The picture of `sliced`; any thread may draw it.
QImage drawnSlices(const CardShadow& shadow, const SlicedShadow& sliced, qreal pixelRatio) {
    const int card = 2 * sliced.corner + kTileLength;
    const int side = card + 2 * sliced.reach;
    const QRectF cardRect(sliced.reach, sliced.reach, card, card);
    // In full colour, black at varying opacity: the stretched pieces then take Qt's scaled
    // blit onto the window, where an alpha-only picture goes through the generic path, split
    // across threads, at several times the cost on every paint of a page of cards.
    return drawnImage(QSize(side, side) * pixelRatio, pixelRatio,
                      [&](QPainter& painter) { paintSoftShadow(painter, cardRect, shadow); });
}

// Whether a shadow's picture is kept for later paints, or drawn for one frame of a hover.
enum class Keep { look, frame };

SlicedShadow slicedShadow(const CardShadow& shadow, qreal pixelRatio, Keep keep) {
    static std::uint64_t paints = 0;
    std::map<ShadowKey, SlicedShadow>& made = shadowsMade();
    const ShadowKey key = shadowKey(shadow, pixelRatio);
    auto found = made.find(key);
    if (found == made.end()) {
        SlicedShadow sliced = cutOf(shadow);
        std::optional<QImage> ahead = DrawnAhead::take(aheadKey(shadow, pixelRatio));
        sliced.image = ahead ? *std::move(ahead) : drawnSlices(shadow, sliced, pixelRatio);
        if (keep == Keep::frame) {
            return sliced;
        }
        if (made.size() >= kRememberedShadows) {
            made.erase(std::min_element(made.begin(), made.end(), [](const auto& a, const auto& b) {
                return a.second.lastPainted < b.second.lastPainted;
            }));
        }
        found = made.emplace(key, std::move(sliced)).first;
    }
    found->second.lastPainted = ++paints;
    return found->second;
}

// Starts drawing the shadow on a worker, for the paint to come (DrawnAhead).
void prepareShadow(const CardShadow& shadow, qreal pixelRatio) {
    if (shadowsMade().count(shadowKey(shadow, pixelRatio)) != 0) {
        return;
    }
    DrawnAhead::start(aheadKey(shadow, pixelRatio), [shadow, pixelRatio] {
        return drawnSlices(shadow, cutOf(shadow), pixelRatio);
    });
}

// A piece along a side: where it starts in the small shadow and how long it is, drawn at its own
// size.
struct Cut {
    int start;
    int length;
    bool middle;
};

// The pieces along a side of `length` plus the shadow's reach on both ends: the first edge, as
// many tiles as the straight stretch between the corners takes, the last edge.
std::vector<Cut> cutsAlong(int length, const SlicedShadow& sliced) {
    const int edge = sliced.reach + sliced.corner;
    const int middle = length + 2 * sliced.reach - 2 * edge;
    std::vector<Cut> cuts{{0, edge, false}};
    for (int laid = 0; laid < middle; laid += kTileLength) {
        cuts.push_back({edge, std::min(kTileLength, middle - laid), true});
    }
    cuts.push_back({edge + kTileLength, edge, false});
    return cuts;
}

void paintSliced(QPainter& painter, const QRect& card, const SlicedShadow& sliced) {
    const QRect bounds = card.adjusted(-sliced.reach, -sliced.reach, sliced.reach, sliced.reach);
    const std::vector<Cut> columns = cutsAlong(card.width(), sliced);
    const std::vector<Cut> rows = cutsAlong(card.height(), sliced);
    const qreal ratio = sliced.image.devicePixelRatio();
    int y = bounds.top();
    for (const Cut& row : rows) {
        int x = bounds.left();
        for (const Cut& column : columns) {
            // The middle lies under the card's opaque surface.
            if (!row.middle || !column.middle) {
                painter.drawImage(QRectF(x, y, column.length, row.length), sliced.image,
                                  QRectF(column.start * ratio, row.start * ratio,
                                         column.length * ratio, row.length * ratio));
            }
            x += column.length;
        }
        y += row.length;
    }
}

}  // namespace

void paintCardSurface(QPainter& painter, const QRectF& rect, qreal radius) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    fillRoundedRect(painter, rect, radius, Theme::card());
    painter.restore();
}

void paintSoftShadow(QPainter& painter, const QRectF& rect, const CardShadow& shadow) {
    const int layers = std::max(kMinimumLayers, static_cast<int>(std::ceil(shadow.blur * 2)));
    const QRectF base = rect.translated(0, shadow.offsetY);
    const QColor colour = withOpacity(Theme::shadow(), 1.0 / layers);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    for (int i = 0; i < layers; ++i) {
        // From `blur` inside the edge to `blur` outside it.
        const qreal grow = -shadow.blur + 2 * shadow.blur * (i + 0.5) / layers;
        const QRectF layer = base.adjusted(-grow, -grow, grow, grow);
        const qreal radius = std::max<qreal>(0, shadow.radius + grow);
        painter.drawRoundedRect(layer, radius, radius);
    }
    painter.restore();
}

Card::Card(qreal radius, QWidget* parent) : QWidget(parent), radius_(radius) {}

void Card::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    paintCardSurface(painter, QRectF(rect()), radius_);
}

CardCanvas::CardCanvas(QWidget* parent) : QWidget(parent) {}

QRect CardCanvas::shadowBounds(const QRect& rect, const CardShadow& shadow) {
    const int reach = static_cast<int>(std::ceil(shadow.blur + std::abs(shadow.offsetY))) + 1;
    return rect.adjusted(-reach, -reach, reach, reach);
}

void CardCanvas::shadowChanged(QWidget& card, const CardShadow& before) {
    auto* canvas = qobject_cast<CardCanvas*>(card.parentWidget());
    const auto* caster = dynamic_cast<const ShadowCaster*>(&card);
    if (canvas != nullptr && caster != nullptr) {
        canvas->update(shadowBounds(card.geometry(), before)
                           .united(shadowBounds(card.geometry(), caster->cardShadow())));
    }
}

void CardCanvas::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The cards are shown before their canvas is told.
    for (QObject* child : children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        const auto* caster = dynamic_cast<const ShadowCaster*>(child);
        if (widget != nullptr && caster != nullptr && widget->isVisible()) {
            prepareShadow(caster->cardShadow(), devicePixelRatioF());
        }
    }
}

void CardCanvas::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    for (QObject* child : children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        const auto* caster = dynamic_cast<const ShadowCaster*>(child);
        if (widget == nullptr || caster == nullptr || !widget->isVisible()) {
            continue;
        }
        const CardShadow shadow = caster->cardShadow();
        const QRect card = widget->geometry();
        if (!event->rect().intersects(shadowBounds(card, shadow))) {
            continue;
        }
        const SlicedShadow sliced = slicedShadow(
            shadow, devicePixelRatioF(), caster->shadowPassing() ? Keep::frame : Keep::look);
        if (card.width() > 2 * sliced.corner && card.height() > 2 * sliced.corner) {
            paintSliced(painter, card, sliced);
        } else {
            paintSoftShadow(painter, QRectF(card), shadow);
        }
    }
}

void CardCanvas::childEvent(QChildEvent* event) {
    // Only a fully built child says whether it casts a shadow: one made with this canvas as its
    // parent is added while its constructor still runs, and polished later.
    if ((event->added() || event->polished()) &&
        dynamic_cast<ShadowCaster*>(event->child()) != nullptr) {
        event->child()->installEventFilter(this);
    }
    QWidget::childEvent(event);
}

bool CardCanvas::eventFilter(QObject* watched, QEvent* event) {
    auto* card = qobject_cast<QWidget*>(watched);
    const auto* caster = dynamic_cast<const ShadowCaster*>(watched);
    if (card == nullptr || caster == nullptr || card->parentWidget() != this) {
        return false;
    }
    const CardShadow shadow = caster->cardShadow();
    switch (event->type()) {
        case QEvent::Move: {
            const auto* move = static_cast<QMoveEvent*>(event);
            update(shadowBounds(QRect(move->oldPos(), card->size()), shadow));
            update(shadowBounds(card->geometry(), shadow));
            break;
        }
        case QEvent::Resize: {
            const auto* resize = static_cast<QResizeEvent*>(event);
            update(shadowBounds(QRect(card->pos(), resize->oldSize()), shadow));
            update(shadowBounds(card->geometry(), shadow));
            break;
        }
        case QEvent::Show:
        case QEvent::Hide:
            update(shadowBounds(card->geometry(), shadow));
            break;
        default:
            break;
    }
    return false;
}

}  // namespace velmora
