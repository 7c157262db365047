// Scroll bars drawn as the design's thin indicators (a rounded faint thumb on no track, no arrow
// buttons) that float over the content's right edge instead of taking layout width, so the
// columns of a page stand at the same x whether it scrolls or not.
#pragma once

class QAbstractScrollArea;
class QScrollBar;

namespace velmora {

// Replaces the area's own vertical bar (kept hidden, still driven by the wheel and the keys) with
// a slim one over the viewport, shown while there is something to scroll.
void useSlimScrollBars(QAbstractScrollArea& area);

// The vertical bar the user sees on `area`: the slim one when the area has it, else its own.
QScrollBar* shownScrollBar(const QAbstractScrollArea& area);

}  // namespace velmora
