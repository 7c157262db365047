// A symbol of the symbol map drawn "in the system font at size N" in a colour, alone or centred
// on a rounded tile (the design's icon tiles). Decoration: hidden from accessibility tools, since
// the row or card around it says what it is.
//
//     auto* tile = new SymbolView(Icons::tweak(tweak.id, tweak.category), 12,
//                                 withOpacity(Theme::ink(), 0.72));
//     tile->setTile(26, 7, Theme::tint(categoryTintIndex(tweak.category)));
#pragma once

#include <QColor>
#include <QWidget>
#include <optional>
#include <string>

#include "ui/widgets/Accessibility.hpp"

namespace velmora {

class SymbolView : public QWidget, public accessibility::OwnReading {
    Q_OBJECT

  public:
    SymbolView(std::string symbol, qreal pointSize, QColor colour, QWidget* parent = nullptr);

    const std::string& symbol() const { return symbol_; }
    void setSymbol(const std::string& symbol);
    void setColour(const QColor& colour);
    // Puts the symbol on a `side` × `side` tile with corners of `radius`, filled with `fill`; the
    // view then takes the tile's size.
    void setTile(qreal side, qreal radius, const QColor& fill);
    void setTileFill(const QColor& fill);

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    struct Tile {
        qreal side;
        qreal radius;
        QColor fill;
    };

    std::string symbol_;
    qreal pointSize_;
    QColor colour_;
    std::optional<Tile> tile_;
};

}  // namespace velmora
