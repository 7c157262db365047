// Design fonts: a larger whole-pixel QFont measured and drawn through a scaled painter.
#include "ui/look/Fonts.hpp"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <tuple>

namespace velmora {

namespace {

constexpr const char* kInter = "Inter";
constexpr const char* kFraunces = "Fraunces";
// Sizes are whole, halves or quarters of a point; anything finer is rounded to a quarter.
constexpr int kOversamples[] = {1, 2, 4};
// The pixel size of the engine the smallest sizes share, each next band's a pixel larger: large
// enough that shaping at it is finer than any screen shows. The size alone names its engine, so
// that a text draws the same whatever was drawn before it.
constexpr int kSharedPixels = 64;
// Past this, sizes share the last engine: no text is that large, and Qt refuses pixel sizes
// past 16 bits.
constexpr int kLargestSharedPixels = 1024;
constexpr qreal kWholeEnough = 1e-6;
// Qt's points are 1/72 inch; one design point is one device-independent pixel.
constexpr qreal kPointsPerInch = 72.0;
// Texts a font remembers the measures and shapes of; past this many it starts again, since
// typed texts never end.
constexpr qsizetype kRemembered = 2048;

// `memory[key]`, worked out by `make` the first time.
template <class Value, class Make>
const Value& remembered(QHash<QString, Value>& memory, const QString& key, Make make) {
    if (const auto known = memory.constFind(key); known != memory.constEnd()) {
        return *known;
    }
    if (memory.size() >= kRemembered) {
        memory.clear();
    }
    return *memory.insert(key, make());
}

QFont::Weight qtWeight(FontWeight weight) {
    switch (weight) {
        case FontWeight::regular:
            return QFont::Normal;
        case FontWeight::medium:
            return QFont::Medium;
        case FontWeight::semibold:
            return QFont::DemiBold;
        case FontWeight::bold:
            return QFont::Bold;
    }
    return QFont::Normal;
}

// The pixel size of the engine that `size` shares.
int sharedPixels(qreal size) {
    const qreal band = std::floor((size - DesignFont::bandOrigin) / DesignFont::pointsPerEngine);
    return static_cast<int>(std::min<qreal>(kSharedPixels + band, kLargestSharedPixels));
}

int oversampleFor(qreal size) {
    for (int factor : kOversamples) {
        const qreal scaled = size * factor;
        if (std::abs(scaled - std::round(scaled)) < kWholeEnough) {
            return factor;
        }
    }
    return kOversamples[std::size(kOversamples) - 1];
}

QFont family(const char* name) {
    QFont font(QString::fromLatin1(name));
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

// The first `count` code units of `text`, less a high surrogate cut from its low one.
QString leading(const QString& text, qsizetype count) {
    if (count < text.size() && count > 0 && text.at(count - 1).isHighSurrogate()) {
        --count;
    }
    return text.first(count);
}

// The last `count` code units of `text`, less a low surrogate cut from its high one.
QString trailing(const QString& text, qsizetype count) {
    const qsizetype start = text.size() - count;
    if (start > 0 && start < text.size() && text.at(start).isLowSurrogate()) {
        --count;
    }
    return text.last(count);
}

const QString kEllipsis = QStringLiteral("\u2026");

}  // namespace

qsizetype DesignFont::firstLineBreak(const QString& text) {
    // Past the longest line, nothing shows on one line anyway.
    const qsizetype end = std::min(text.size(), longestLine);
    for (qsizetype i = 0; i < end; ++i) {
        const QChar c = text.at(i);
        if (c == u'\n' || c == u'\r' || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator) {
            return i;
        }
    }
    return -1;
}

namespace {
// Characters laid out at once when breaking a text into lines: many lines' worth at any width
// the design uses. Lines ending within the edge of a window are laid out again with the next.
constexpr qsizetype kWrapWindow = 512;
constexpr qsizetype kWrapWindowEdge = 64;

}  // namespace

QString DesignFont::visiblePart(const QString& text, Qt::TextElideMode mode) {
    if (text.size() <= longestLine) {
        return text;
    }
    switch (mode) {
        case Qt::ElideLeft:
            return trailing(text, longestLine);
        case Qt::ElideMiddle:
            return leading(text, longestLine / 2) + trailing(text, longestLine / 2);
        case Qt::ElideRight:
        case Qt::ElideNone:
            break;
    }
    return leading(text, longestLine);
}

DesignFont::DesignFont(QFont font, qreal size, int pixels, FontWeight weight, qreal tracking)
    : font_(std::move(font)), size_(size), scale_(size > 0 ? pixels / size : 1) {
    font_.setPixelSize(pixels);
    font_.setWeight(qtWeight(weight));
    // Hinting would snap the outlines to the grid of the shared pixel size, which the scaled
    // drawing does not use.
    font_.setHintingPreference(QFont::PreferNoHinting);
    font_.setKerning(true);
    if (tracking != 0) {
        font_.setLetterSpacing(QFont::AbsoluteSpacing, tracking * scale_);
    }
    memory_ = std::make_shared<Memory>();
    shapes_ = shapesOf(font_);
}

std::shared_ptr<DesignFont::Shapes> DesignFont::shapesOf(const QFont& scaled) {
    // Fonts are made once and kept, so the fonts alike are few and their shapes live as long.
    static QHash<QString, std::shared_ptr<Shapes>> byFont;
    std::shared_ptr<Shapes>& shapes = byFont[scaled.key()];
    if (!shapes) {
        shapes = std::make_shared<Shapes>();
    }
    return shapes;
}

const DesignFont::Metrics& DesignFont::metrics() const {
    if (!metrics_) {
        const QFontMetricsF measured(font_);
        metrics_ = Metrics{measured.ascent() / scale_, measured.descent() / scale_,
                           measured.lineSpacing() / scale_};
    }
    return *metrics_;
}

const DesignFont& DesignFont::made(Family kind, qreal size, FontWeight weight, qreal tracking) {
    using Key = std::tuple<Family, qreal, FontWeight, qreal>;
    static std::map<Key, std::unique_ptr<DesignFont>> fonts;
    std::unique_ptr<DesignFont>& slot = fonts[Key(kind, size, weight, tracking)];
    if (slot) {
        return *slot;
    }
    QFont base = kind == Family::monospaced ? QFontDatabase::systemFont(QFontDatabase::FixedFont)
                                            : family(kind == Family::inter ? kInter : kFraunces);
    const int pixels = drawnPixels(base.family(), size);
    slot.reset(new DesignFont(std::move(base), size, pixels, weight, tracking));
    return *slot;
}

const DesignFont& DesignFont::inter(qreal size, FontWeight weight, qreal tracking) {
    return made(Family::inter, size, weight, tracking);
}

const DesignFont& DesignFont::fraunces(qreal size, FontWeight weight, qreal tracking) {
    return made(Family::fraunces, size, weight, tracking);
}

const DesignFont& DesignFont::monospaced(qreal size, FontWeight weight) {
    return made(Family::monospaced, size, weight, 0);
}

QFont DesignFont::approximate() const {
    QFont font = font_;
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(size_))));
    if (font_.letterSpacingType() == QFont::AbsoluteSpacing && font_.letterSpacing() != 0) {
        font.setLetterSpacing(QFont::AbsoluteSpacing, font_.letterSpacing() / scale_);
    }
    return font;
}

int DesignFont::drawnPixels(const QString& family, qreal size) {
    // The system's fixed-pitch font may be one that does not scale: it is drawn from an engine at
    // its own size.
    const bool shared = family == QLatin1String(kInter) || family == QLatin1String(kFraunces);
    if (shared && size > 0) {
        return sharedPixels(size);
    }
    return std::max(1, static_cast<int>(std::lround(size * oversampleFor(size))));
}

QFont DesignFont::exact(qreal logicalDpiY) const {
    QFont font = approximate();
    font.setPointSizeF(size_ * kPointsPerInch / logicalDpiY);
    return font;
}

qreal DesignFont::width(const QString& text) const {
    const QString part = visiblePart(text);
    // Measured from the shapes it is drawn with: a text is measured and then drawn, and
    // shaping it once serves both.
    return remembered(memory_->widths, part, [&] { return shaped(part).advance / scale_; });
}

qreal DesignFont::ascent() const {
    return metrics().ascent;
}

qreal DesignFont::descent() const {
    return metrics().descent;
}

qreal DesignFont::height() const {
    return ascent() + descent();
}

qreal DesignFont::lineSpacing() const {
    return metrics().lineSpacing;
}

QString DesignFont::elided(const QString& text, qreal width, Qt::TextElideMode mode) const {
    if (mode == Qt::ElideRight) {
        // One line shows the first: the rest would run on into it with nothing between.
        const qsizetype lineEnd = firstLineBreak(text);
        if (lineEnd >= 0) {
            const QString first = text.first(lineEnd);
            const QString marked = first + kEllipsis;
            if (this->width(marked) <= width) {
                return marked;
            }
            const QString shown = elided(first, width - this->width(kEllipsis));
            return shown.endsWith(kEllipsis) ? shown : shown + kEllipsis;
        }
    }
    const bool whole = text.size() <= longestLine;
    if (whole && this->width(text) <= width) {
        return text;
    }
    const QString part = visiblePart(text, mode);
    const QString key = QString::number(width) + QLatin1Char('/') +
                        QString::number(static_cast<int>(mode)) + QLatin1Char('/') + part;
    return remembered(memory_->elided, key, [&] {
        const QString shown = QFontMetricsF(font_).elidedText(part, mode, width * scale_);
        // Only characters that draw nothing make so many fit; what is cut must still show.
        if (whole || shown != part) {
            return shown;
        }
        return mode == Qt::ElideLeft ? kEllipsis + shown : shown + kEllipsis;
    });
}

std::vector<QString> DesignFont::lines(const QString& text, qreal width, int maxLines) const {
    Wrap none;
    return lines(text, width, maxLines, none);
}

std::vector<QString> DesignFont::lines(const QString& text, qreal width, int maxLines,
                                       Wrap& last) const {
    // A limited number of lines shows at most that many lines' worth of the text; the rest would
    // only be elided away, at a cost that grows with its length. Unlimited, a bounded start.
    const qsizetype shown = maxLines > 0 ? longestLine * maxLines : longestWrapped;
    QString prepared = text.size() > shown ? leading(text, shown) + kEllipsis : text;
    prepared.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    const qreal lineWidth = std::max<qreal>(width, 0) * scale_;

    std::vector<QString> result;
    std::vector<qsizetype> ends;
    qsizetype start = 0;
    // A line's break depends on no character further than a window's edge past its end (as the
    // windows below trust), so the lines of the last wrap that end that far before the first
    // character that differs break where they broke. The last line a limit allows is elided from
    // the rest of the text: it is made again.
    if (last.font == font_ && last.scale == scale_ && last.width == width &&
        last.maxLines == maxLines) {
        const auto same = static_cast<qsizetype>(
            std::mismatch(prepared.cbegin(), prepared.cend(), last.text.cbegin(), last.text.cend())
                .first -
            prepared.cbegin());
        std::size_t kept = 0;
        while (kept < last.ends.size() && last.ends[kept] + kWrapWindowEdge <= same &&
               (maxLines <= 0 || static_cast<int>(kept) + 1 < maxLines)) {
            ++kept;
        }
        const auto keptLines = static_cast<std::ptrdiff_t>(kept);
        result.assign(last.lines.begin(), last.lines.begin() + keptLines);
        ends.assign(last.ends.begin(), last.ends.begin() + keptLines);
        start = kept > 0 ? ends.back() : 0;
    }

    // Qt looks for the end of a word from the start of every line it breaks out of it, so one
    // pasted word of 20,000 characters takes seconds as a whole. Laid out a window at a time,
    // each line looks no further than its window.
    qsizetype window = kWrapWindow;
    while (start < prepared.size()) {
        const QString part = prepared.mid(start, window);
        const bool toTheEnd = start + part.size() >= prepared.size();
        // A line ending this close to the window's edge may have been cut by the edge.
        const qsizetype trusted = toTheEnd ? part.size() : part.size() - kWrapWindowEdge;
        QTextLayout layout(part, font_);
        layout.setTextOption(option);
        qsizetype taken = 0;
        bool lastLine = false;
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(lineWidth);
            const qsizetype lineStart = line.textStart();
            const qsizetype lineEnd = lineStart + line.textLength();
            if (lineEnd > trusted) {
                break;
            }
            if (maxLines > 0 && static_cast<int>(result.size()) == maxLines - 1) {
                // The last line allowed takes the rest of the text, shortened to fit.
                const qsizetype at = start + lineStart;
                const QString rest =
                    prepared.mid(at).replace(QChar::LineSeparator, QLatin1Char(' '));
                const bool more = start + lineEnd < prepared.size();
                result.push_back(more ? elided(rest.trimmed(), width)
                                      : part.mid(lineStart, lineEnd - lineStart).trimmed());
                ends.push_back(prepared.size());
                lastLine = true;
                break;
            }
            result.push_back(part.mid(lineStart, lineEnd - lineStart).trimmed());
            ends.push_back(start + lineEnd);
            taken = lineEnd;
        }
        layout.endLayout();
        if (lastLine || toTheEnd) {
            break;
        }
        if (taken == 0) {
            window *= 2;  // a line longer than the window: look further
            continue;
        }
        start += taken;
        window = kWrapWindow;
    }
    if (result.empty()) {
        result.emplace_back();
        ends.push_back(0);
    }
    last = Wrap{font_, scale_, std::move(prepared), width, maxLines, result, std::move(ends)};
    return result;
}

const DesignFont::Shaped& DesignFont::shaped(const QString& text) const {
    return remembered(*shapes_, text, [&] {
        QTextLayout layout(text, font_);
        QTextOption option;
        option.setWrapMode(QTextOption::NoWrap);
        layout.setTextOption(option);
        // A layout drops its shapes at endLayout() unless it caches them, and its glyph runs
        // would then shape the text a second time.
        layout.setCacheEnabled(true);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        if (line.isValid()) {
            line.setPosition(QPointF(0, 0));
        }
        layout.endLayout();
        return Shaped{layout.glyphRuns(), line.isValid() ? line.ascent() : 0,
                      line.isValid() ? line.horizontalAdvance() : 0};
    });
}

namespace {

DesignFont::DrawWatch& drawWatch() {
    static DesignFont::DrawWatch watch;
    return watch;
}

}  // namespace

void DesignFont::watchDrawing(DrawWatch watch) {
    drawWatch() = std::move(watch);
}

void DesignFont::draw(QPainter& painter, const QPointF& topLeft, const QString& text,
                      const QColor& colour) const {
    if (text.isEmpty()) {
        return;
    }
    if (const DrawWatch& watch = drawWatch()) {
        watch(painter, text);
    }
    // Beyond the visible part the line runs past any screen, where nothing is drawn.
    const Shaped& shape = shaped(visiblePart(text));
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(topLeft);
    if (scale_ != 1) {
        painter.scale(1.0 / scale_, 1.0 / scale_);
    }
    painter.setPen(colour);
    // The font's own baseline, even where a fallback font made the line taller.
    const QPointF origin(0, ascent() * scale_ - shape.baseline);
    for (const QGlyphRun& run : shape.runs) {
        painter.drawGlyphRun(origin, run);
    }
    painter.restore();
}

}  // namespace velmora
