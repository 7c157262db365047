// Scroll bars drawn as the design's thin indicators (a rounded faint thumb on no track, no arrow
// buttons) instead of the desktop style's full bars, which would take the width of a sidebar row.
#pragma once

class QAbstractScrollArea;

namespace velmora {

void useSlimScrollBars(QAbstractScrollArea& area);

}  // namespace velmora
