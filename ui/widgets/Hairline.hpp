// A line one point high across its width in the hairline colour: the divider between a header
// and a list, above a footer. The rows of a list card, by the hundred, have theirs painted by
// their entries with paintHairline instead.
#pragma once

#include <QColor>
#include <QRect>
#include <QWidget>

class QPainter;

namespace velmora {

class Hairline : public QWidget {
    Q_OBJECT

  public:
    explicit Hairline(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

// Which side of its rectangle a line keeps to once laid on whole device pixels.
enum class LineSide { leading, trailing };

// Fills `line`, a point across (a row when it is wider than high, else a column), as whole device
// pixels: as many as there are whole pixels in a point on the device (one at 1.25 and 1.5, two at
// 2), from the pixel boundary nearest its leading or trailing side. A plain fill at a fractional
// pixel ratio covers one pixel or two as the line's place falls, so that the lines of one page
// were drawn in two weights.
void paintHairline(QPainter& painter, const QRect& line, const QColor& colour,
                   LineSide side = LineSide::leading);

}  // namespace velmora
