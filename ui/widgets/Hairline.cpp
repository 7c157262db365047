// Drawing of the hairline.
#include "ui/widgets/Hairline.hpp"

#include <QPainter>

#include "ui/look/Theme.hpp"
#include "ui/widgets/Accessibility.hpp"

namespace velmora {

namespace {

constexpr int kThickness = 1;

}  // namespace

Hairline::Hairline(QWidget* parent) : QWidget(parent) {
    setFixedHeight(kThickness);
    accessibility::hide(*this);
}

void Hairline::paintEvent(QPaintEvent* /*event*/) {
    QPainter(this).fillRect(rect(), Theme::hairline());
}

}  // namespace velmora
