// Design fonts keep the design's sizes exactly, halves included, with their weights and tracking;
// text is wrapped, clamped and elided as the line limits ask; a text shaped once is measured and
// drawn as Qt would measure and draw it afresh.
#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <chrono>
#include <cmath>
#include <functional>
#include <vector>

#include "tests/ui/Artefacts.hpp"
#include "ui/look/Fonts.hpp"

namespace velmora {
namespace {

const QString kSample = QStringLiteral("Hide desktop icons while you present");

TEST(DesignFont, HalfSizesAreExactAndWeightsTrackingAndMonospaceAreTheAskedOnes) {
    for (const qreal half : {9.5, 10.5, 11.5, 12.5, 13.5}) {
        const qreal below = DesignFont::inter(half - 0.5).width(kSample);
        const qreal at = DesignFont::inter(half).width(kSample);
        const qreal above = DesignFont::inter(half + 0.5).width(kSample);
        // Widths scale with the size: the half lies midway, not on a whole size.
        EXPECT_NEAR(at, (below + above) / 2, 0.02 * at) << half;
        EXPECT_GT(at - below, 0.25 * (above - below)) << half;
        EXPECT_GT(above - at, 0.25 * (above - below)) << half;
    }
    // Drawn, not only measured: the ink of a 12.5 line is wider than 12's and narrower than 13's.
    const auto inkWidth = [](qreal size) {
        QImage image(400, 40, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        DesignFont::inter(size).draw(painter, QPointF(0, 0), kSample, Qt::black);
        painter.end();
        int right = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                right = qAlpha(image.pixel(x, y)) > 0 ? std::max(right, x) : right;
            }
        }
        return right;
    };
    EXPECT_LT(inkWidth(12), inkWidth(12.5));
    EXPECT_LT(inkWidth(12.5), inkWidth(13));

    const std::pair<FontWeight, int> weights[] = {{FontWeight::regular, QFont::Normal},
                                                  {FontWeight::medium, QFont::Medium},
                                                  {FontWeight::semibold, QFont::DemiBold},
                                                  {FontWeight::bold, QFont::Bold}};
    for (const auto& [weight, expected] : weights) {
        const QRawFont raw = QRawFont::fromFont(DesignFont::inter(11.5, weight).scaledFont());
        EXPECT_EQ(std::pair(raw.familyName(), raw.weight()),
                  std::pair(QStringLiteral("Inter"), expected));
    }
    EXPECT_EQ(
        QRawFont::fromFont(DesignFont::fraunces(10, FontWeight::bold).scaledFont()).familyName(),
        QStringLiteral("Fraunces"));

    const QString chip = QStringLiteral("ADMIN");
    EXPECT_NEAR(DesignFont::inter(8, FontWeight::bold, 0.5).width(chip) -
                    DesignFont::inter(8, FontWeight::bold).width(chip),
                0.5 * chip.size(), 0.01)
        << "tracking adds after every character";
    const DesignFont mono = DesignFont::monospaced(9.5);
    EXPECT_DOUBLE_EQ(mono.width(QStringLiteral("iii")), mono.width(QStringLiteral("WWW")));
}

// The sizes of one band share a font engine, whatever was drawn before, and measure what an
// engine of their own pixel size would, but for that engine's rounding of each advance to 1/64 of
// its pixel: the sharing saves engines without moving text.
TEST(DesignFont, SizesOfABandShareAnEngineAndMeasureAsAtTheirOwnSize) {
    const auto pixels = [](qreal size, FontWeight weight = FontWeight::regular,
                           qreal tracking = 0) {
        return DesignFont::inter(size, weight, tracking).scaledFont().pixelSize();
    };
    // The design's text sizes, 9 to 13.5, share one engine per weight.
    const qreal start = DesignFont::bandOrigin + DesignFont::pointsPerEngine;
    const qreal next = start + DesignFont::pointsPerEngine;
    ASSERT_EQ(start, 9);
    // Asked for from the top of the band down, the opposite of the order of the sizes.
    for (qreal size = next - 0.5; size >= start; size -= 0.5) {
        EXPECT_EQ(pixels(size), pixels(start)) << size;
    }
    EXPECT_NE(pixels(next), pixels(next - 0.5)) << "the next band has its own";
    EXPECT_NE(pixels(start - 0.5), pixels(start)) << "so has the one before";
    EXPECT_EQ(pixels(start + 1, FontWeight::bold, 0.5), pixels(start + 1.5, FontWeight::bold))
        << "tracking takes no other engine";

    for (const qreal size : {8.0, 9.5, 11.0, 12.5, 13.5}) {
        const DesignFont& font = DesignFont::inter(size, FontWeight::semibold);
        QFont own(QStringLiteral("Inter"));
        own.setWeight(QFont::DemiBold);
        own.setHintingPreference(QFont::PreferNoHinting);
        // Whole and half sizes: a pixel size of their own at once or twice the size.
        const qreal factor = size == std::floor(size) ? 1 : 2;
        own.setPixelSize(static_cast<int>(size * factor));
        const QFontMetricsF measured(own);
        const qreal ownWidth = measured.horizontalAdvance(kSample) / factor;
        EXPECT_NEAR(font.width(kSample), ownWidth, 0.003 * ownWidth) << size;
        EXPECT_NEAR(font.ascent(), measured.ascent() / factor, 0.02) << size;
        EXPECT_NEAR(font.lineSpacing(), measured.lineSpacing() / factor, 0.02) << size;
    }
}

TEST(DesignFont, LinesWrapAtWordsAndTheLastAllowedLineIsElided) {
    const DesignFont font = DesignFont::inter(11);
    const QString text = QStringLiteral(
        "Shows the full path of the current folder at the bottom "
        "of every Finder window, so you always know where you are");
    const qreal width = 150;
    const std::vector<QString> all = font.lines(text, width);
    ASSERT_GE(all.size(), 4u);
    for (const QString& line : all) {
        EXPECT_LE(font.width(line), width) << line.toStdString();
        EXPECT_FALSE(line.endsWith(QLatin1Char(' ')));
    }
    EXPECT_EQ(all.front() + QLatin1Char(' ') + all[1],
              text.left(all.front().size() + 1 + all[1].size()));

    const std::vector<QString> two = font.lines(text, width, 2);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0], all[0]);
    EXPECT_TRUE(two[1].endsWith(QChar(0x2026))) << two[1].toStdString();
    EXPECT_LE(font.width(two[1]), width);
    EXPECT_EQ(font.lines(QStringLiteral("Short"), width, 2), std::vector<QString>{"Short"});
    EXPECT_EQ(font.lines(QString(), width, 2), std::vector<QString>{QString()});
    EXPECT_EQ(font.elided(text, 60).back(), QChar(0x2026));
}

// A pasted name of several lines, on one line, shows its first line marked as cut, not its lines
// run together; cut shorter still when even that does not fit.
TEST(DesignFont, OneLineOfATextOfSeveralShowsTheFirstMarkedAsCut) {
    const DesignFont font = DesignFont::inter(13);
    const QString ellipsis(QChar(0x2026));
    for (const QChar lineBreak : {QChar(u'\n'), QChar(u'\r'), QChar(QChar::LineSeparator),
                                  QChar(QChar::ParagraphSeparator)}) {
        const QString text = QStringLiteral("Line one") + lineBreak + QStringLiteral("Line two");
        EXPECT_EQ(font.elided(text, 500), QStringLiteral("Line one") + ellipsis);
    }
    const QString cut = font.elided(QStringLiteral("Evening at the desk\nand after"), 60);
    EXPECT_TRUE(cut.startsWith(QStringLiteral("Even")) && cut.endsWith(ellipsis))
        << cut.toStdString();
    EXPECT_LE(font.width(cut), 60);
    EXPECT_EQ(font.elided(QStringLiteral("Tab\there"), 500), QStringLiteral("Tab\there"));
}

// Measures and shapes are remembered per font and text: what is drawn from them must be what Qt
// draws from the text itself, on the font's baseline even where a glyph comes from a fallback
// font, and what is measured must not go stale when the memory starts again.
TEST(DesignFont, RememberedShapesDrawAndMeasureAsQtDoesAfresh) {
    const auto drawn = [](const std::function<void(QPainter&)>& paint) {
        QImage image(420, 40, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        paint(painter);
        return image;
    };
    // Sizes of one band share their shapes, unless their tracking spaces the letters apart
    // differently: each must still draw as Qt draws it at its own size.
    for (const DesignFont* font : {&DesignFont::inter(12.5, FontWeight::medium),
                                   &DesignFont::inter(13.5, FontWeight::medium),
                                   &DesignFont::fraunces(15.5, FontWeight::bold),
                                   &DesignFont::inter(9, FontWeight::semibold, 1.1),
                                   &DesignFont::inter(9.5, FontWeight::semibold, 1.1)}) {
        for (const QString& text :
             {kSample, QStringLiteral("Click the \u2606 \u2014 \u201Cx\u201D"),
              QStringLiteral("LIBRARY")}) {
            // Twice: the second draw comes from memory.
            for (int pass = 0; pass < 2; ++pass) {
                const QImage ours = drawn([&](QPainter& painter) {
                    font->draw(painter, QPointF(3, 4), text, Qt::black);
                });
                const QImage qts = drawn([&](QPainter& painter) {
                    painter.setRenderHint(QPainter::TextAntialiasing);
                    painter.translate(3, 4);
                    painter.scale(1.0 / font->scale(), 1.0 / font->scale());
                    painter.setFont(font->scaledFont());
                    painter.setPen(Qt::black);
                    painter.drawText(QPointF(0, QFontMetricsF(font->scaledFont()).ascent()), text);
                });
                EXPECT_EQ(ours, qts) << text.toStdString() << " pass " << pass;
            }
        }
    }

    const DesignFont& font = DesignFont::inter(11);
    const qreal before = font.width(kSample);
    const QString elidedBefore = font.elided(kSample, 80);
    for (int i = 0; i < 2100; ++i) {
        font.width(QString::number(i));
        font.elided(QString::number(i) + kSample, 80);
    }
    EXPECT_EQ(font.width(kSample), before);
    EXPECT_EQ(font.elided(kSample, 80), elidedBefore);
    EXPECT_EQ(font.elided(kSample, 400), kSample) << "a text that fits is not elided";
    EXPECT_NE(font.elided(kSample, 60), font.elided(kSample, 80)) << "each width its own";
}

// A text wrapped again from a kept wrap breaks exactly as one wrapped afresh, whatever changed:
// its end (a letter typed or erased), its middle, its start, a line break near its end, a word
// longer than any line, or the width and line limit it is wrapped at.
TEST(DesignFont, AWrapFromTheLastOneBreaksAsAFreshWrap) {
    const DesignFont& font = DesignFont::inter(11);
    QString prose;
    while (prose.size() < 3000) {
        prose += QStringLiteral("Nothing matches the dock, hidden files and the path bar. ");
    }
    const QString word(1500, u'w');
    struct Edit {
        QString before;
        QString after;
        qreal width;
        int maxLines;
    };
    const Edit edits[] = {
        {prose, prose + QLatin1Char('d'), 150, 0},
        {prose + QLatin1Char('d'), prose, 150, 0},
        {prose, QString(prose).replace(1500, 1, QLatin1Char('X')), 150, 0},
        {prose, QLatin1Char('A') + prose, 150, 0},
        {prose, QString(prose).insert(prose.size() - 100, QLatin1Char('\n')), 150, 0},
        {prose, prose + QStringLiteral(" and more"), 150, 12},
        {prose, prose + QLatin1Char('d'), 150, 3},
        {prose, prose + QLatin1Char('d'), 151, 0},
        {word, word + QLatin1Char('y'), 150, 0},
        {prose, QString(), 150, 0},
    };
    for (const Edit& edit : edits) {
        SCOPED_TRACE(::testing::Message()
                     << edit.before.size() << " to " << edit.after.size() << " characters at "
                     << edit.width << ", " << edit.maxLines << " lines");
        DesignFont::Wrap last;
        (void)font.lines(edit.before, 150, edit.maxLines, last);
        EXPECT_EQ(font.lines(edit.after, edit.width, edit.maxLines, last),
                  font.lines(edit.after, edit.width, edit.maxLines));
    }
    // Another font at the same width wraps afresh.
    DesignFont::Wrap last;
    (void)font.lines(prose, 150, 0, last);
    const DesignFont& bold = DesignFont::inter(11, FontWeight::bold);
    EXPECT_EQ(bold.lines(prose, 150, 0, last), bold.lines(prose, 150));
}

// A letter typed at the end of a pasted page lays out only the page's last lines again: a tenth of
// a fresh wrap at most (it was all of one, most of a keystroke). Timed in alternate runs, so a
// burst of load on the machine slows both alike.
TEST(DesignFont, ALetterTypedAtTheEndOfAPageWrapsOnlyItsEnd) {
    constexpr int kRuns = 7;
    constexpr double kMostOfAFreshWrap = 0.1;
    const DesignFont& font = DesignFont::inter(13);
    QString page;
    while (page.size() < 20000) {
        page += QStringLiteral("Paste some prose here, ");
    }
    using Clock = std::chrono::steady_clock;
    auto fresh = Clock::duration::max();
    auto again = Clock::duration::max();
    for (int run = 0; run < kRuns; ++run) {
        const QString typed = page + QString(run + 1, u'd');
        DesignFont::Wrap last;
        (void)font.lines(page, 400, 0, last);
        auto start = Clock::now();
        const std::vector<QString> fromLast = font.lines(typed, 400, 0, last);
        again = std::min(again, Clock::now() - start);
        start = Clock::now();
        const std::vector<QString> whole = font.lines(typed, 400);
        fresh = std::min(fresh, Clock::now() - start);
        ASSERT_EQ(fromLast, whole);
    }
    EXPECT_LT(static_cast<double>(again.count()),
              kMostOfAFreshWrap * static_cast<double>(fresh.count()))
        << "from the last wrap " << again.count() << " ns, afresh " << fresh.count() << " ns";
}

}  // namespace
}  // namespace velmora
