// Draws a symbol by name at a size and colour, as the views ask for SF Symbols.
#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QPointF>
#include <string>
#include <string_view>

#include "ui/look/Fonts.hpp"

class QPainter;

namespace velmora {

// A symbol as a view paints it: which one, sized for what text, in what colour and weight.
struct SymbolLook {
    std::string_view name;
    qreal pointSize = 0;
    QColor colour;
    FontWeight weight = FontWeight::regular;
};

class Symbols {
  public:
    // Side of the square a symbol fills when drawn "in the system font at size N": Phosphor keeps
    // a margin inside its artboard, so the square is a little larger than the font size.
    static qreal boxSide(qreal pointSize);

    // Draws `name` centred on `centre`, sized for `pointSize`, in `colour` (alpha included), with
    // strokes as heavy as text of `weight` ("in the system font at size 9, bold"). An unknown
    // name draws a neutral placeholder; nothing here fails or throws. Main thread only.
    static void draw(QPainter& painter, const QPointF& centre, qreal pointSize,
                     std::string_view name, const QColor& colour,
                     FontWeight weight = FontWeight::regular);

    // The symbol on a transparent square of boxSide(pointSize), for labels and buttons.
    static QPixmap pixmap(std::string_view name, qreal pointSize, const QColor& colour,
                          qreal devicePixelRatio = 1.0, FontWeight weight = FontWeight::regular);

    static void draw(QPainter& painter, const QPointF& centre, const SymbolLook& look);

    // The symbol as a button's icon, drawn only when shown and at the size and pixel density it
    // is shown at: a double-density picture is never drawn for an ordinary screen, nor one of a
    // weight changed before the first paint.
    static QIcon icon(std::string name, const QColor& colour,
                      FontWeight weight = FontWeight::regular);

    // The symbol as an icon drawn at its own size, `pointSize`, centred in whatever square it is
    // asked for (a menu asks for its items' icons at the style's size), at the density it is
    // shown at.
    static QIcon icon(std::string name, qreal pointSize, const QColor& colour,
                      FontWeight weight = FontWeight::regular);

    // Whether `name` has an icon of its own, rather than the placeholder.
    static bool isKnown(std::string_view name);

    // Starts drawing the symbol on a worker thread, for a paint soon to come (DrawnAhead): a widget
    // asks for it when shown, in the look and at the density it paints it in.
    static void prepare(std::string_view name, qreal pointSize, const QColor& colour,
                        qreal devicePixelRatio, FontWeight weight = FontWeight::regular);
    static void prepare(std::string_view name, int pixels, const QColor& colour,
                        FontWeight weight = FontWeight::regular);
    static void prepare(const SymbolLook& look, qreal devicePixelRatio);

    // Pixels on a side of a symbol sized for `pointSize`, as drawn at `devicePixelRatio`.
    static int pixelsFor(qreal pointSize, qreal devicePixelRatio);

    // The symbol rendered at `pixels` × `pixels` in `colour`; the building block of the above.
    static QImage image(std::string_view name, int pixels, const QColor& colour,
                        FontWeight weight = FontWeight::regular);
};

}  // namespace velmora
