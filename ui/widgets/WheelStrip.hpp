// A horizontal strip of items that scrolls sideways with its scroll bars hidden. A mouse wheel
// turns only vertically, so its steps scroll the strip sideways while there is somewhere to go;
// a strip that fits passes the wheel on to the page around it. Where items go on past an edge, a
// fade with a chevron says so (a picture only: clicks pass through it to the item beneath); a
// strip may also close up its spacing (down to a least gap) to fit its items rather than scroll.
//
//     auto* strip = new WheelStrip;
//     strip->row().setSpacing(7);
//     strip->setLeastSpacing(4);
//     strip->row().addWidget(chip);
#pragma once

#include <QColor>
#include <QHBoxLayout>
#include <QScrollArea>

namespace velmora {

class WheelStrip : public QScrollArea {
    Q_OBJECT

  public:
    enum class Edge { leading, trailing };

    explicit WheelStrip(QWidget* parent = nullptr);

    // The layout the strip's items go in; spacing and margins are the caller's.
    QHBoxLayout& row() const { return *row_; }

    // Lets the gaps between items (the row's spacing when this is called) shrink down to `least`
    // where that makes every item fit.
    void setLeastSpacing(int least);
    // The colour the edge fades melt into: what lies behind the strip (the paper by default).
    void setFadeColour(const QColor& colour);

    // The cue at `edge`, shown while items go on past it.
    QWidget& cue(Edge edge) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Closes up the spacing as far as allowed for the items to fit the width shown.
    void fit();
    // Shows each cue while there is more past its edge, and places it there.
    void placeCues();

    QHBoxLayout* row_;
    int preferredSpacing_ = -1;
    int leastSpacing_ = -1;
    QWidget* leadingCue_;
    QWidget* trailingCue_;
};

}  // namespace velmora
