// Symbol names resolve to compiled-in Phosphor SVGs, recoloured as asked; unknown names never fail.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <string>

#include "kit/Tweak.hpp"
#include "kit/UserProfile.hpp"
#include "tests/ui/Artefacts.hpp"
#include "tests/ui/InterfaceSymbols.hpp"
#include "ui/Icons.hpp"
#include "ui/SymbolMap.hpp"
#include "ui/Symbols.hpp"

namespace velmora {
namespace {

int opaquePixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        }
    }
    return count;
}

TEST(SymbolMap, EveryInterfaceSymbolHasARenderableSvg) {
    for (std::string_view name : test::kInterfaceSymbols) {
        const PhosphorIcon* icon = SymbolMap::find(name);
        ASSERT_NE(icon, nullptr) << name;
        const QString path = QString::fromStdString(icon->resourcePath());
        EXPECT_TRUE(QFile::exists(path)) << name << " -> " << path.toStdString();
        EXPECT_TRUE(QSvgRenderer(path).isValid()) << name;
        EXPECT_TRUE(Symbols::isKnown(name)) << name;
    }
    // Nothing in the table that the interface does not use.
    EXPECT_EQ(SymbolMap::all().size(), test::kInterfaceSymbols.size());
}

TEST(SymbolMap, WeightFollowsTheFillSuffix) {
    EXPECT_EQ(SymbolMap::find("star.fill")->weight, SymbolWeight::fill);
    EXPECT_EQ(SymbolMap::find("star.fill")->resourcePath(), ":/velmora/symbols/fill/star-fill.svg");
    EXPECT_EQ(SymbolMap::find("star")->weight, SymbolWeight::regular);
    EXPECT_EQ(SymbolMap::find("star")->resourcePath(), ":/velmora/symbols/regular/star.svg");
    // ".filled" is part of a name, not the fill weight.
    EXPECT_EQ(SymbolMap::find("circle.inset.filled")->weight, SymbolWeight::regular);
    for (const auto& [name, icon] : SymbolMap::all()) {
        EXPECT_EQ(icon.weight == SymbolWeight::fill, name.ends_with(".fill")) << name;
    }
}

TEST(SymbolMap, DataTablesOnlyNameMappedSymbols) {
    for (const auto& [id, symbol] : Icons::recipeMap()) {
        EXPECT_TRUE(Symbols::isKnown(symbol)) << id << " -> " << symbol;
    }
    for (const auto& [id, symbol] : Icons::tweakMap()) {
        EXPECT_TRUE(Symbols::isKnown(symbol)) << id << " -> " << symbol;
    }
    for (TweakCategory category : allCases<TweakCategory>()) {
        EXPECT_TRUE(Symbols::isKnown(Icons::categoryFallback(category))) << rawValue(category);
    }
    EXPECT_TRUE(Symbols::isKnown(Icons::recipe("no-such-recipe")));
    for (UserField field : allCases<UserField>()) {
        EXPECT_TRUE(Symbols::isKnown(icon(field))) << rawValue(field);
    }
    for (UserGoal goal : allCases<UserGoal>()) {
        EXPECT_TRUE(Symbols::isKnown(icon(goal))) << rawValue(goal);
    }
    for (DeviceKind kind : allCases<DeviceKind>()) {
        EXPECT_TRUE(Symbols::isKnown(icon(kind))) << rawValue(kind);
    }
}

TEST(Symbols, RecolouredToExactlyTheAskedColour) {
    const QColor accent(193, 98, 59);
    const QImage image = Symbols::image("bolt.fill", 48, accent);
    ASSERT_EQ(image.size(), QSize(48, 48));
    int solid = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = QColor::fromRgba(image.pixel(x, y));
            if (pixel.alpha() == 255) {
                ++solid;
                EXPECT_EQ(pixel.rgb(), accent.rgb());
            }
        }
    }
    EXPECT_GT(solid, 48 * 48 / 10);  // a filled bolt covers a good part of its square
}

TEST(Symbols, OpacityOfTheColourIsKept) {
    QColor halfInk(35, 31, 26);
    halfInk.setAlphaF(0.5);
    const QImage image = Symbols::image("bolt.fill", 32, halfInk);
    int maxAlpha = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            maxAlpha = std::max(maxAlpha, qAlpha(image.pixel(x, y)));
        }
    }
    EXPECT_NEAR(maxAlpha, 128, 2);
}

TEST(Symbols, FillAndRegularWeightsDiffer) {
    const QImage filled = Symbols::image("star.fill", 40, Qt::black);
    const QImage outline = Symbols::image("star", 40, Qt::black);
    EXPECT_GT(opaquePixels(filled), opaquePixels(outline));
}

TEST(Symbols, UnknownNamesDrawTheNeutralFallback) {
    const QImage fallback = Symbols::image("no.such.symbol", 32, Qt::black);
    EXPECT_GT(opaquePixels(fallback), 0);
    EXPECT_EQ(Symbols::image("", 32, Qt::black), fallback);
    // Names are matched exactly, as the tables are.
    EXPECT_FALSE(Symbols::isKnown("Star"));
    EXPECT_FALSE(Symbols::isKnown(" star"));
    EXPECT_NE(Symbols::image("Star", 32, Qt::black), Symbols::image("star", 32, Qt::black));
}

TEST(Symbols, DegenerateSizesDrawNothingAndDoNotFail) {
    EXPECT_TRUE(Symbols::image("star", 0, Qt::black).isNull());
    EXPECT_TRUE(Symbols::image("star", -5, Qt::black).isNull());
    QImage canvas(10, 10, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    Symbols::draw(painter, QPointF(5, 5), 0, "star", Qt::black);
    Symbols::draw(painter, QPointF(5, 5), -3, "no.such", Qt::black);
    painter.end();
    EXPECT_EQ(opaquePixels(canvas), 0);
}

TEST(Symbols, DrawCentresTheSymbolAndHonoursThePixelRatio) {
    QImage canvas(100, 100, QImage::Format_ARGB32_Premultiplied);
    canvas.setDevicePixelRatio(2.0);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    Symbols::draw(painter, QPointF(25, 25), 20, "circle.inset.filled", Qt::black);
    painter.end();
    // The symbol's box is 24 points = 48 device pixels, centred at (50, 50) device pixels.
    int minX = 100, maxX = -1, minY = 100, maxY = -1;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) {
            if (qAlpha(canvas.pixel(x, y)) > 0) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
        }
    }
    ASSERT_GE(maxX, 0);
    EXPECT_NEAR((minX + maxX) / 2.0, 49.5, 1.5);
    EXPECT_NEAR((minY + maxY) / 2.0, 49.5, 1.5);
    EXPECT_GE(minX, 26);
    EXPECT_LE(maxX, 74);
    EXPECT_GT(maxX - minX, 30);  // drawn at full device resolution, not at 24 pixels
}

TEST(Symbols, PixmapCarriesTheRatio) {
    const QPixmap pixmap = Symbols::pixmap("house", 10, Qt::black, 2.0);
    EXPECT_EQ(pixmap.size(), QSize(24, 24));
    EXPECT_DOUBLE_EQ(pixmap.devicePixelRatio(), 2.0);
}

// A contact sheet of every interface symbol with its name, for a person to judge the choices.
TEST(Artefacts, SaveSymbolSheet) {
    constexpr int kColumns = 6;
    constexpr int kCellWidth = 190;
    constexpr int kCellHeight = 34;
    constexpr qreal kPointSize = 17;
    const int rows = (static_cast<int>(test::kInterfaceSymbols.size()) + kColumns - 1) / kColumns;
    QImage sheet(kColumns * kCellWidth, rows * kCellHeight, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(244, 241, 234));
    QPainter painter(&sheet);
    QFont font = painter.font();
    font.setPixelSize(10);
    painter.setFont(font);
    int index = 0;
    for (std::string_view name : test::kInterfaceSymbols) {
        const int x = (index % kColumns) * kCellWidth;
        const int y = (index / kColumns) * kCellHeight;
        Symbols::draw(painter, QPointF(x + 18, y + kCellHeight / 2.0), kPointSize, name,
                      QColor(35, 31, 26));
        painter.setPen(QColor(124, 117, 104));
        painter.drawText(QRect(x + 36, y, kCellWidth - 38, kCellHeight), Qt::AlignVCenter,
                         QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
        ++index;
    }
    painter.end();
    EXPECT_TRUE(sheet.save(test::artefactPath(QStringLiteral("symbols.png"))));
}

}  // namespace
}  // namespace velmora
