// The opaque middle of a card's surface and the layer of its contents.
#include "ui/widgets/CardLayers.hpp"

#include <QPaintEvent>
#include <QPainter>
#include <cmath>
#include <utility>

#include "ui/look/Theme.hpp"
#include "ui/widgets/Accessibility.hpp"

namespace velmora {

namespace {

// Neither layer takes a click, the focus or a screen reader's attention: the card does.
void passThrough(QWidget& layer) {
    layer.setAttribute(Qt::WA_TransparentForMouseEvents);
    layer.setFocusPolicy(Qt::NoFocus);
    accessibility::hide(layer);
}

}  // namespace

SurfaceMiddle::SurfaceMiddle(QWidget& card) : QWidget(&card) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    passThrough(*this);
}

void SurfaceMiddle::fit(const QRect& card, qreal radius, int sideInset) {
    // A point more than the corner, past what antialiasing touches.
    const int corner = static_cast<int>(std::ceil(radius)) + 1;
    const QRect middle = card.adjusted(sideInset, corner, -sideInset, -corner);
    setGeometry(middle.isEmpty() ? QRect() : middle);
}

void SurfaceMiddle::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), Theme::card());
}

ContentLayer::ContentLayer(QWidget& card, std::function<void(QPainter&)> paint)
    : QWidget(&card), paint_(std::move(paint)) {
    passThrough(*this);
}

void ContentLayer::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    paint_(painter);
}

}  // namespace velmora
