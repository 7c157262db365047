// ApplyPill: Inter 11.5 semibold, a label at least 62 wide, padded 5.5 by 12.
#include "ui/components/ApplyPill.hpp"

#include <QPainter>
#include <cmath>

#include "ui/look/Fonts.hpp"
#include "ui/look/RoundedShapes.hpp"
#include "ui/look/Symbols.hpp"
#include "ui/look/Theme.hpp"
#include "ui/widgets/Text.hpp"

namespace velmora {

namespace {

constexpr qreal kTextSize = 11.5;
constexpr qreal kSymbolSize = 9;
constexpr qreal kSpacing = 4;
constexpr qreal kMinimumLabelWidth = 62;
constexpr qreal kPaddingV = 5.5;
constexpr qreal kPaddingH = 12;
constexpr qreal kOutlineWidth = 1.2;
constexpr std::chrono::milliseconds kFadeTime{120};

const DesignFont& pillFont() {
    return DesignFont::inter(kTextSize, FontWeight::semibold);
}

}  // namespace

ApplyPill::ApplyPill(bool applied, std::function<void()> action, QWidget* parent)
    : PaintedButton(parent), applied_(applied), fill_(*this, kFadeTime, QEasingCurve::InOutQuad) {
    setFocusShape(FocusShape::capsule);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::TabFocus);
    fill_.setTarget(applied);
    connect(this, &QAbstractButton::clicked, this, [action = std::move(action)] { action(); });
    describe();
}

void ApplyPill::setApplied(bool applied) {
    if (applied == applied_) {
        return;
    }
    applied_ = applied;
    fill_.setTarget(applied);
    describe();
    updateGeometry();
    update();
}

void ApplyPill::describe() {
    setPlainToolTip(*this, applied_ ? QStringLiteral("Revert this recipe")
                                    : QStringLiteral("Apply this recipe"));
    setAccessibleName(applied_ ? QStringLiteral("Applied") : QStringLiteral("Apply"));
}

QString ApplyPill::shownText() const {
    if (!applied_) {
        return QStringLiteral("Apply");
    }
    return underMouse() ? QStringLiteral("Revert") : QStringLiteral("Applied");
}

QSize ApplyPill::sizeHint() const {
    // The widest label of the state, so the pill does not change size under the pointer.
    qreal label = pillFont().width(QStringLiteral("Apply"));
    if (applied_) {
        label = Symbols::boxSide(kSymbolSize) + kSpacing +
                std::max(pillFont().width(QStringLiteral("Applied")),
                         pillFont().width(QStringLiteral("Revert")));
    }
    const qreal height = std::max(pillFont().lineSpacing(), Symbols::boxSide(kSymbolSize));
    return {static_cast<int>(std::ceil(std::max(label, kMinimumLabelWidth) + 2 * kPaddingH)),
            static_cast<int>(std::ceil(height + 2 * kPaddingV))};
}

void ApplyPill::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal filled = fill_.value();
    const QRectF capsule = QRectF(rect()).adjusted(kOutlineWidth / 2, kOutlineWidth / 2,
                                                   -kOutlineWidth / 2, -kOutlineWidth / 2);
    const qreal radius = capsule.height() / 2;
    QPen outline(withOpacity(Theme::ink(), 1 - filled), kOutlineWidth, Qt::SolidLine, Qt::FlatCap,
                 Qt::MiterJoin);
    drawRoundedShape(painter, capsule, radius, filled < 1 ? outline : QPen(Qt::NoPen),
                     withOpacity(Theme::ink(), filled));

    const QColor label = mix(Theme::ink(), Theme::paper(), filled);
    const QString text = shownText();
    const qreal textWidth = pillFont().width(text);
    const qreal middle = QRectF(rect()).center().y();
    if (!applied_) {
        pillFont().draw(painter,
                        QPointF((width() - textWidth) / 2, middle - pillFont().lineSpacing() / 2),
                        text, label);
        return;
    }
    const qreal symbol = Symbols::boxSide(kSymbolSize);
    const qreal x = (width() - symbol - kSpacing - textWidth) / 2;
    Symbols::draw(painter, QPointF(x + symbol / 2, middle), kSymbolSize,
                  underMouse() ? "arrow.uturn.backward" : "checkmark", label, FontWeight::bold);
    pillFont().draw(painter, QPointF(x + symbol + kSpacing, middle - pillFont().lineSpacing() / 2),
                    text, label);
}

}  // namespace velmora
