// The application's one light look: its fixed colours, the six pastel tints and the category tints.
#pragma once

#include <QColor>
#include <QPalette>
#include <array>
#include <cstdint>

#include "kit/Tweak.hpp"

namespace velmora {

class Theme {
  public:
    static constexpr int tintCount = 6;

    static const QColor& paper();
    static const QColor& card();
    static const QColor& ink();
    static const QColor& secondary();
    static const QColor& faint();
    static const QColor& hairline();
    static const QColor& accent();
    static const QColor& shadow();  // black at 0.035 opacity, for card shadows

    static const std::array<QColor, tintCount>& tints();

    // Any index maps to one of the tints; i and i + 6 give the same colour, negatives included.
    static const QColor& tint(std::int64_t index);

    // A light palette built from the colours above, so a dark desktop theme cannot leak into
    // menus, tool tips and editors.
    static const QPalette& lightPalette();
};

// Tint index of a catalog category, for Theme::tint.
int categoryTintIndex(TweakCategory category);

// `colour` at `opacity` times its own alpha: the design's "ink at opacity 0.05".
QColor withOpacity(const QColor& colour, qreal opacity);
// The colour `t` of the way from `from` to `to` (0 gives `from`, 1 gives `to`), alpha included.
QColor mix(const QColor& from, const QColor& to, qreal t);

}  // namespace velmora
