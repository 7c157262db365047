// The design's fonts at its exact sizes (halves included), with their metrics and text drawing.
#pragma once

#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QColor;
class QPainter;
class QPointF;

namespace velmora {

enum class FontWeight { regular, medium, semibold, bold };

// One design point is one device-independent pixel. Qt rounds every QFont to whole pixels, so a
// size of 12.5 would draw at 13; and it makes one font engine per pixel size, each with its own
// font configuration match and its own copy of the font's layout tables for the shaper. A
// DesignFont of Inter or Fraunces therefore shapes its text with a large whole-pixel QFont that
// every size of its weight in one band (`pointsPerEngine` wide) shares, and draws it through a
// painter scaled to its own size; the system's fixed-pitch font, which need not scale, keeps a
// QFont of its own at the size times 1, 2 or 4. Both give the design's sizes exactly, halves
// included. All metrics are in design points. Use it for every text the views paint;
// `approximate()` is for Qt's own widgets (menus, text fields), which cannot be drawn scaled. Each
// font is made once and kept (main thread only), so naming one where it is drawn costs a lookup:
//
//     const DesignFont& title = DesignFont::inter(12.5, FontWeight::medium);
//     title.draw(painter, QPointF(x, y), text, Theme::ink());   // y: top of the line
class DesignFont {
  public:
    static const DesignFont& inter(qreal size, FontWeight weight = FontWeight::regular,
                                   qreal tracking = 0);
    static const DesignFont& fraunces(qreal size, FontWeight weight = FontWeight::regular,
                                      qreal tracking = 0);
    // The system's fixed-pitch font, for counts and values.
    static const DesignFont& monospaced(qreal size, FontWeight weight = FontWeight::regular);

    // Texts from storage can be any length (a scene named with 10 MB), while one line on any
    // screen shows a few hundred characters: every measure, elision and drawing works on at most
    // this many, so its cost is bounded by what fits, not by the text.
    static constexpr qsizetype longestLine = 4096;
    // Wrapped without a line limit, such a text would make a row as tall as a building and take
    // seconds to lay out: at most this many characters wrap, the rest cut with "…". Twice what a
    // text field holds, so whatever can be typed or pasted into one is shown whole.
    static constexpr qsizetype longestWrapped = 16 * longestLine;
    // The part of `text` that a line could show when elided in `mode` (its start, its end, or
    // both ends), whole characters only; the text itself when it is no longer than that.
    static QString visiblePart(const QString& text, Qt::TextElideMode mode = Qt::ElideRight);

    // The sizes from `bandOrigin` plus a multiple of this to the next share an engine: ten half
    // sizes, the ten scales whose drawn glyphs Qt's FreeType engine keeps. The bands start where
    // the design's text sizes, 9 to 13.5, fall in one: a page names a weight at several of them.
    static constexpr qreal pointsPerEngine = 5;
    static constexpr qreal bandOrigin = 4;

    qreal size() const { return size_; }
    // The QFont the text is shaped with, and how much larger than the design size it is.
    const QFont& scaledFont() const { return font_; }
    qreal scale() const { return scale_; }
    // The pixel size of the QFont that a text in `family` at `size` is shaped and drawn with,
    // through a painter scaled by `size` over it: for Inter and Fraunces the engine its band
    // shares, for any other font the size times 1, 2 or 4 (an engine of its own).
    static int drawnPixels(const QString& family, qreal size);
    // The nearest whole-pixel font, for widgets that draw their own text.
    QFont approximate() const;
    // The font at its exact size, halves included, for Qt's own buttons on a device of
    // `logicalDpiY`: a fractional point size, which the QFont keeps and the application's style
    // draws as set (Qt alone would draw it at the nearest whole pixel size).
    QFont exact(qreal logicalDpiY) const;

    // Of a text longer than `longestLine`, the width of its visible part.
    qreal width(const QString& text) const;
    qreal ascent() const;
    qreal descent() const;
    // Ascent plus descent: the height of one line of text.
    qreal height() const;
    // From one baseline to the next.
    qreal lineSpacing() const;
    // Where the first line of `text` ends at a line break (a newline, a carriage return, a line
    // or paragraph separator), or -1 when it is one line.
    static qsizetype firstLineBreak(const QString& text);
    // `text` shortened with "…" to fit `width`; a text longer than `longestLine` always is. Of a
    // text of several lines, shortened from the right, the first line, marked with "…" as cut.
    QString elided(const QString& text, qreal width, Qt::TextElideMode mode = Qt::ElideRight) const;
    // `text` broken into the lines that fit `width`; with `maxLines` above 0, at most that many,
    // the last of them elided when text is left over; without, of a text longer than
    // `longestWrapped`, the lines of its start followed by "…".
    std::vector<QString> lines(const QString& text, qreal width, int maxLines = 0) const;
    // The last wrap of a text, kept by whoever shows it: a text that changed only towards its end
    // (a letter typed at the end of a pasted page) breaks as before up to the last line the change
    // cannot have moved, and is laid out again only from there.
    struct Wrap {
        QFont font;  // the scaled font it was laid out with, at `scale`
        qreal scale = 0;
        QString text;  // as laid out: line breaks made separators, cut to `longestWrapped`
        qreal width = -1;
        int maxLines = 0;
        std::vector<QString> lines;
        std::vector<qsizetype> ends;  // where each line ends in `text`
    };
    // The same lines as above; `last` is read, then holds this wrap.
    std::vector<QString> lines(const QString& text, qreal width, int maxLines, Wrap& last) const;

    // One line with the top of its line box at `topLeft`.
    void draw(QPainter& painter, const QPointF& topLeft, const QString& text,
              const QColor& colour) const;

    // Called with every text drawn from then on (none: no longer), so a check can hold what the
    // screen shows against what accessibility tools read.
    using DrawWatch = std::function<void(const QPainter& painter, const QString& text)>;
    static void watchDrawing(DrawWatch watch);

  private:
    enum class Family { inter, fraunces, monospaced };
    static const DesignFont& made(Family family, qreal size, FontWeight weight, qreal tracking);
    DesignFont(QFont font, qreal size, int pixels, FontWeight weight, qreal tracking);

    QFont font_;
    qreal size_;
    qreal scale_;
    // Measured once, when first asked for: the metrics never change, and lists rebuilt at a
    // keystroke measure the same catalog texts again. Measuring loads the font at its size, which
    // a font named by a widget that never shows need not pay for.
    struct Metrics {
        qreal ascent = 0;
        qreal descent = 0;
        qreal lineSpacing = 0;
    };
    const Metrics& metrics() const;
    mutable std::optional<Metrics> metrics_;
    // Shaping a text is most of the cost of measuring and drawing it, and the same texts are
    // measured, elided and drawn at every layout and paint: each is shaped once.
    struct Shaped {
        QList<QGlyphRun> runs;  // at the scaled font's size, baseline at `baseline`
        qreal baseline = 0;
        qreal advance = 0;  // at the scaled font's size
    };
    struct Memory {
        QHash<QString, qreal> widths;
        QHash<QString, QString> elided;
    };
    // The shapes belong to the scaled font, which every size of a band shares: a text shown at
    // two sizes of one weight (a card's title and the sidebar's, the "…" every label measures)
    // is shaped once.
    using Shapes = QHash<QString, Shaped>;
    static std::shared_ptr<Shapes> shapesOf(const QFont& scaled);
    const Shaped& shaped(const QString& text) const;
    std::shared_ptr<Memory> memory_;
    std::shared_ptr<Shapes> shapes_;
};

}  // namespace velmora
