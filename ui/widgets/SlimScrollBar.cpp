// The slim bar as a style sheet on the area's own vertical bar, with the theme's colours.
#include "ui/widgets/SlimScrollBar.hpp"

#include <QAbstractScrollArea>
#include <QScrollBar>

#include "ui/look/Theme.hpp"

namespace velmora {

namespace {

constexpr int kWidth = 8;
constexpr int kThumbRadius = 3;
constexpr int kThumbMinimum = 24;
constexpr qreal kThumbOpacity = 0.22;

}  // namespace

void useSlimScrollBars(QAbstractScrollArea& area) {
    const QColor thumb = withOpacity(Theme::ink(), kThumbOpacity);
    area.verticalScrollBar()->setStyleSheet(
        QStringLiteral("QScrollBar:vertical { background: transparent; width: %1px;"
                       " margin: 2px 1px 2px 1px; }"
                       "QScrollBar::handle:vertical { background: %2; border-radius: %3px;"
                       " min-height: %4px; }"
                       "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical"
                       " { height: 0px; }"
                       "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical"
                       " { background: transparent; }")
            .arg(kWidth)
            .arg(thumb.name(QColor::HexArgb))
            .arg(kThumbRadius)
            .arg(kThumbMinimum));
}

}  // namespace velmora
