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
#include "ui/widgets/CardLayers.hpp"

namespace velmora {

namespace {

// A blurred edge is approximated by stacked translucent rounded rectangles, each a step larger:
// their overlap fades linearly from the full shadow inside the edge to nothing outside it.
constexpr int kMinimumLayers = 3;
// Shadow pictures of this many looks are kept, the one painted longest ago giving way to a new
// one; the looks a hover passes through, one a frame, are not kept at all. In full colour a
// hovered grid card's shadow is some 35 KB. At a fractional pixel ratio a look takes a picture
// for each place within a pixel its cards' corners fall on: up to sixteen at 1.25 (four places
// along each side), four at 1.5, and a page's cards use most of them, whose giving way at every
// page switch cost more than the rest of the switch.
constexpr std::size_t kRememberedShadows = 24;

// A card's shadow cut in pieces: corners as drawn for a small card, edges laid in tiles of its
// straight stretch. Drawing a long card's shadow layer by layer costs as much as the rest of its
// page, and a line of it stretched along the edge takes Qt's scaled blit, pixel by pixel, where
// tiles drawn at their own size are blended many pixels at a time. The pieces are cut and laid in
// device pixels: at a fractional pixel ratio (1.25, 1.5) pieces placed in the window's own units
// meet between two device pixels, where Qt rounds each one on its own, and they overlapped there
// in lines darker than the shadow around them.
constexpr int kTileLength = 32;
// A card's edge falls this finely within a device pixel, for the picture drawn for it.
constexpr int kPhaseSteps = 64;

// Where one edge of a card lies on the device: the pixel it starts in, and how far into it.
struct DeviceEdge {
    int pixel;
    int phase;  // in kPhaseSteps of a pixel
};

qreal within(int phase) {
    return qreal(phase) / kPhaseSteps;
}

DeviceEdge deviceEdge(qreal at) {
    int pixel = static_cast<int>(std::floor(at));
    int phase = static_cast<int>(std::lround((at - pixel) * kPhaseSteps));
    if (phase == kPhaseSteps) {
        ++pixel;
        phase = 0;
    }
    return {pixel, phase};
}

// A card's rectangle on the device, edge by edge.
struct DeviceCard {
    DeviceEdge left;
    DeviceEdge top;
    DeviceEdge right;
    DeviceEdge bottom;
};

DeviceCard deviceCard(const QTransform& toDevice, const QRect& card) {
    const QRectF onDevice = toDevice.mapRect(QRectF(card));
    return {deviceEdge(onDevice.left()), deviceEdge(onDevice.top()), deviceEdge(onDevice.right()),
            deviceEdge(onDevice.bottom())};
}

// Where a corner's two edges fall within their pixels: its picture's key beside the look.
struct Phases {
    int across;
    int down;
    bool operator<(const Phases& other) const {
        return std::tie(across, down) < std::tie(other.across, other.down);
    }
    bool operator==(const Phases& other) const {
        return across == other.across && down == other.down;
    }
};

// The places of the four corners, each once.
std::vector<Phases> cornersOf(const DeviceCard& at) {
    std::vector<Phases> corners;
    for (const Phases corner :
         {Phases{at.left.phase, at.top.phase}, Phases{at.right.phase, at.top.phase},
          Phases{at.left.phase, at.bottom.phase}, Phases{at.right.phase, at.bottom.phase}}) {
        if (std::find(corners.begin(), corners.end(), corner) == corners.end()) {
            corners.push_back(corner);
        }
    }
    return corners;
}

struct SlicedShadow {
    // In device pixels: the shadow of a card 2 × `corner` + `tile` on a side, its edges as far
    // into their pixels as the picture's phases say, `reach` inside each edge of the picture.
    QImage image;
    int reach = 0;
    int corner = 0;
    int tile = 0;
    std::uint64_t lastPainted = 0;
};

using ShadowKey = std::tuple<qreal, qreal, qreal, qreal, int, int>;

ShadowKey shadowKey(const CardShadow& shadow, qreal pixelRatio, const Phases& at) {
    return {shadow.radius, shadow.blur, shadow.offsetY, pixelRatio, at.across, at.down};
}

QString aheadKey(const CardShadow& shadow, qreal pixelRatio, const Phases& at) {
    return QStringLiteral("velmora-shadow:%1:%2:%3:%4:%5:%6")
        .arg(shadow.radius)
        .arg(shadow.blur)
        .arg(shadow.offsetY)
        .arg(pixelRatio)
        .arg(at.across)
        .arg(at.down);
}

std::map<ShadowKey, SlicedShadow>& shadowsMade() {
    static std::map<ShadowKey, SlicedShadow> made;
    return made;
}

// The shadow's cut, its picture still to draw.
SlicedShadow cutOf(const CardShadow& shadow, qreal pixelRatio) {
    SlicedShadow sliced;
    sliced.reach =
        static_cast<int>(std::ceil((shadow.blur + std::abs(shadow.offsetY)) * pixelRatio)) + 1;
    sliced.corner = static_cast<int>(std::ceil(
                        (shadow.radius + shadow.blur + std::abs(shadow.offsetY)) * pixelRatio)) +
                    1;
    sliced.tile = static_cast<int>(std::ceil(kTileLength * pixelRatio));
    return sliced;
}

// The picture of `sliced` for corners whose edges lie where `at` says within their pixels; any
// thread may draw it.
QImage drawnSlices(const CardShadow& shadow, const SlicedShadow& sliced, qreal pixelRatio,
                   const Phases& at) {
    // One pixel more than the pieces, for the far edges' places within theirs.
    const int side = 2 * sliced.reach + 2 * sliced.corner + sliced.tile + 1;
    const qreal card = (2 * sliced.corner + sliced.tile) / pixelRatio;
    // In full colour, black at varying opacity: the stretched pieces then take Qt's scaled
    // blit onto the window, where an alpha-only picture goes through the generic path, split
    // across threads, at several times the cost on every paint of a page of cards.
    return drawnImage(QSize(side, side), 1.0, [&](QPainter& painter) {
        // Drawn as the window's painter draws it, scaled to the device, the card's edges as far
        // into their pixels as on the window.
        painter.translate(sliced.reach + within(at.across), sliced.reach + within(at.down));
        painter.scale(pixelRatio, pixelRatio);
        paintSoftShadow(painter, QRectF(0, 0, card, card), shadow);
    });
}

// Whether a shadow's picture is kept for later paints, or drawn for one frame of a hover.
enum class Keep { look, frame };

SlicedShadow slicedShadow(const CardShadow& shadow, qreal pixelRatio, const Phases& at, Keep keep) {
    static std::uint64_t paints = 0;
    std::map<ShadowKey, SlicedShadow>& made = shadowsMade();
    const ShadowKey key = shadowKey(shadow, pixelRatio, at);
    auto found = made.find(key);
    if (found == made.end()) {
        SlicedShadow sliced = cutOf(shadow, pixelRatio);
        std::optional<QImage> ahead = DrawnAhead::take(aheadKey(shadow, pixelRatio, at));
        sliced.image = ahead ? *std::move(ahead) : drawnSlices(shadow, sliced, pixelRatio, at);
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

// Whether the card is large enough on the device for its shadow to be laid in pieces.
bool sliceable(const DeviceCard& at, const SlicedShadow& sliced) {
    return at.right.pixel - at.left.pixel > 2 * sliced.corner &&
           at.bottom.pixel - at.top.pixel > 2 * sliced.corner;
}

// Starts drawing the card's shadow pictures on a worker, for the paint to come (DrawnAhead); a
// card too small to lay its shadow in pieces has it drawn whole.
void prepareShadow(const CardShadow& shadow, qreal pixelRatio, const DeviceCard& card) {
    if (!sliceable(card, cutOf(shadow, pixelRatio))) {
        return;
    }
    for (const Phases& at : cornersOf(card)) {
        if (shadowsMade().count(shadowKey(shadow, pixelRatio, at)) != 0) {
            continue;
        }
        DrawnAhead::start(aheadKey(shadow, pixelRatio, at), [shadow, pixelRatio, at] {
            return drawnSlices(shadow, cutOf(shadow, pixelRatio), pixelRatio, at);
        });
    }
}

// A piece along a side, in device pixels: where it lies, where it starts in the picture, how long
// it is, and the place within its pixel of the card's edge it goes with.
struct Cut {
    int at;
    int start;
    int length;
    bool middle;
    int phase;
};

// The pieces along a side from the card's edge `near` to its edge `far`: the first edge with its
// corner, as many tiles as the straight stretch between the corners takes, the last edge with its
// corner.
std::vector<Cut> cutsAlong(const DeviceEdge& near, const DeviceEdge& far,
                           const SlicedShadow& sliced) {
    const int edge = sliced.reach + sliced.corner;
    std::vector<Cut> cuts{{near.pixel - sliced.reach, 0, edge, false, near.phase}};
    for (int laid = near.pixel + sliced.corner; laid < far.pixel - sliced.corner;
         laid += sliced.tile) {
        cuts.push_back({laid, edge, std::min(sliced.tile, far.pixel - sliced.corner - laid), true,
                        near.phase});
    }
    cuts.push_back({far.pixel - sliced.corner, edge + sliced.tile, edge + 1, false, far.phase});
    return cuts;
}

void paintSliced(QPainter& painter, const CardShadow& shadow, qreal pixelRatio,
                 const DeviceCard& at, Keep keep) {
    std::map<Phases, SlicedShadow> pictures;
    for (const Phases& corner : cornersOf(at)) {
        pictures.emplace(corner, slicedShadow(shadow, pixelRatio, corner, keep));
    }
    const SlicedShadow& any = pictures.begin()->second;
    const std::vector<Cut> columns = cutsAlong(at.left, at.right, any);
    const std::vector<Cut> rows = cutsAlong(at.top, at.bottom, any);
    painter.save();
    // Whole device pixels, one for one, whatever the screen's ratio.
    painter.setWorldTransform(painter.deviceTransform().inverted() * painter.worldTransform());
    for (const Cut& row : rows) {
        for (const Cut& column : columns) {
            // The middle lies under the card's opaque surface.
            if (!row.middle || !column.middle) {
                painter.drawImage(QRect(column.at, row.at, column.length, row.length),
                                  pictures.at({column.phase, row.phase}).image,
                                  QRect(column.start, row.start, column.length, row.length));
            }
        }
    }
    painter.restore();
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

Card::Card(qreal radius, QWidget* parent)
    : QWidget(parent), radius_(radius), middle_(new SurfaceMiddle(*this)) {}

void Card::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    paintCardSurface(painter, QRectF(rect()), radius_);
}

void Card::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    middle_->fit(rect(), radius_, SurfaceMiddle::kEdgeInset);
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
            // The window's painter starts at the window's corner, scaled to its pixels.
            const qreal ratio = devicePixelRatioF();
            const QPoint inWindow = mapTo(window(), QPoint(0, 0));
            const QTransform toDevice =
                QTransform::fromScale(ratio, ratio).translate(inWindow.x(), inWindow.y());
            prepareShadow(caster->cardShadow(), ratio, deviceCard(toDevice, widget->geometry()));
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
        const DeviceCard at = deviceCard(painter.deviceTransform(), card);
        const qreal ratio = devicePixelRatioF();
        if (painter.deviceTransform().type() > QTransform::TxScale ||
            !sliceable(at, cutOf(shadow, ratio))) {
            paintSoftShadow(painter, QRectF(card), shadow);
            continue;
        }
        paintSliced(painter, shadow, ratio, at, caster->shadowPassing() ? Keep::frame : Keep::look);
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
    // Only these move or uncover a card's shadow. The card is asked for its shadow for nothing
    // else: a card being destroyed still gets the ChildRemoved events of its member objects going
    // after its destructor has run, when what its shadow is made of is already gone.
    const QEvent::Type type = event->type();
    if (type != QEvent::Move && type != QEvent::Resize && type != QEvent::Show &&
        type != QEvent::Hide) {
        return false;
    }
    auto* card = qobject_cast<QWidget*>(watched);
    const auto* caster = dynamic_cast<const ShadowCaster*>(watched);
    if (card == nullptr || caster == nullptr || card->parentWidget() != this) {
        return false;
    }
    const CardShadow shadow = caster->cardShadow();
    switch (type) {
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
