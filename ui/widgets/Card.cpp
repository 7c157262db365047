// Card surfaces and their soft shadows.
#include "ui/widgets/Card.hpp"

#include <QChildEvent>
#include <QMoveEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QResizeEvent>
#include <cmath>

#include "ui/look/Theme.hpp"

namespace velmora {

namespace {

// A blurred edge is approximated by stacked translucent rounded rectangles, each a step larger:
// their overlap fades linearly from the full shadow inside the edge to nothing outside it.
constexpr int kMinimumLayers = 3;

}  // namespace

void paintCardSurface(QPainter& painter, const QRectF& rect, qreal radius) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Theme::card());
    painter.drawRoundedRect(rect, radius, radius);
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
        const QRect bounds = shadowBounds(card, shadow);
        if (!event->rect().intersects(bounds)) {
            continue;
        }
        // The opaque surface covers the shadow everywhere but around its edge: only the ring
        // outside the card's flat middle is filled, which spares most of the blending.
        const int corner = static_cast<int>(std::ceil(shadow.radius));
        const QRegion ring = QRegion(bounds)
                                 .subtracted(QRegion(card.adjusted(corner, 0, -corner, 0)))
                                 .subtracted(QRegion(card.adjusted(0, corner, 0, -corner)));
        painter.save();
        painter.setClipRegion(ring.intersected(event->region()));
        paintSoftShadow(painter, QRectF(card), shadow);
        painter.restore();
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
