// A horizontal strip of items that scrolls sideways with its scroll bars hidden. A mouse wheel
// turns only vertically, so its steps scroll the strip sideways while there is somewhere to go;
// a strip that fits passes the wheel on to the page around it.
//
//     auto* strip = new WheelStrip;
//     strip->row().addWidget(chip);
#pragma once

#include <QHBoxLayout>
#include <QScrollArea>

namespace velmora {

class WheelStrip : public QScrollArea {
    Q_OBJECT

  public:
    explicit WheelStrip(QWidget* parent = nullptr);

    // The layout the strip's items go in; spacing and margins are the caller's.
    QHBoxLayout& row() const { return *row_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void wheelEvent(QWheelEvent* event) override;

  private:
    QHBoxLayout* row_;
};

}  // namespace velmora
