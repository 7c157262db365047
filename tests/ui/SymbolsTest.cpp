// Symbol names resolve to compiled-in Phosphor SVGs, recoloured as asked; unknown names never fail.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <string>

#include "kit/Tweak.hpp"
#include "kit/UserProfile.hpp"
#include "tests/ui/InterfaceSymbols.hpp"
#include "ui/Icons.hpp"
#include "ui/SymbolMap.hpp"
#include "ui/Symbols.hpp"

namespace velmora {
namespace {

// Pixels drawn at all, the largest alpha, and whether every opaque pixel has `colour`.
struct Coverage {
    int drawn = 0;
    int maxAlpha = 0;
    int solidOfOtherColour = 0;
    QRect bounds;
};

Coverage coverageOf(const QImage& image, const QColor& colour = Qt::black) {
    Coverage c;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = QColor::fromRgba(image.pixel(x, y));
            if (pixel.alpha() > 0) {
                ++c.drawn;
                c.bounds |= QRect(x, y, 1, 1);
            }
            c.maxAlpha = std::max(c.maxAlpha, pixel.alpha());
            c.solidOfOtherColour += pixel.alpha() == 255 && pixel.rgb() != colour.rgb() ? 1 : 0;
        }
    }
    return c;
}

TEST(SymbolMap, EveryInterfaceSymbolHasARenderableSvgOfTheRightWeight) {
    const std::vector<std::string>& names = test::interfaceSymbols();
    ASSERT_EQ(names.size(), 144u);
    for (const std::string& name : names) {
        const PhosphorIcon* icon = SymbolMap::find(name);
        ASSERT_NE(icon, nullptr) << name;
        const QString path = QString::fromStdString(icon->resourcePath());
        EXPECT_TRUE(QFile::exists(path)) << name << " -> " << path.toStdString();
        EXPECT_TRUE(QSvgRenderer(path).isValid()) << name;
        // ".filled" is part of a name, not the fill weight.
        EXPECT_EQ(icon->weight == SymbolWeight::fill, name.ends_with(".fill")) << name;
    }
    // Nothing in the table that the interface does not use.
    EXPECT_EQ(SymbolMap::all().size(), names.size());
}

TEST(SymbolMap, DataTablesOnlyNameMappedSymbols) {
    std::vector<std::string> named{Icons::recipe("no-such-recipe")};
    for (const auto& [id, symbol] : Icons::recipeMap()) {
        named.emplace_back(symbol);
    }
    for (const auto& [id, symbol] : Icons::tweakMap()) {
        named.emplace_back(symbol);
    }
    for (TweakCategory category : allCases<TweakCategory>()) {
        named.emplace_back(Icons::categoryFallback(category));
    }
    for (UserField field : allCases<UserField>()) {
        named.emplace_back(icon(field));
    }
    for (UserGoal goal : allCases<UserGoal>()) {
        named.emplace_back(icon(goal));
    }
    for (DeviceKind kind : allCases<DeviceKind>()) {
        named.emplace_back(icon(kind));
    }
    for (const std::string& symbol : named) {
        EXPECT_TRUE(Symbols::isKnown(symbol)) << symbol;
    }
}

TEST(Symbols, RecolouredToExactlyTheAskedColourAndOpacity) {
    const QColor accent(193, 98, 59);
    const QImage image = Symbols::image("bolt.fill", 48, accent);
    ASSERT_EQ(image.size(), QSize(48, 48));
    const Coverage bolt = coverageOf(image, accent);
    EXPECT_EQ(bolt.solidOfOtherColour, 0);
    EXPECT_GT(bolt.drawn, 48 * 48 / 10);  // a filled bolt covers a good part of its square

    QColor halfInk(35, 31, 26);
    halfInk.setAlphaF(0.5);
    EXPECT_NEAR(coverageOf(Symbols::image("bolt.fill", 32, halfInk)).maxAlpha, 128, 2);
    EXPECT_GT(coverageOf(Symbols::image("star.fill", 40, Qt::black)).drawn,
              coverageOf(Symbols::image("star", 40, Qt::black)).drawn);
}

TEST(Symbols, UnknownNamesAndDegenerateSizesNeverFail) {
    const QImage fallback = Symbols::image("no.such.symbol", 32, Qt::black);
    EXPECT_GT(coverageOf(fallback).drawn, 0);
    EXPECT_EQ(Symbols::image("", 32, Qt::black), fallback);
    // Names are matched exactly, as the tables are.
    EXPECT_FALSE(Symbols::isKnown("Star"));
    EXPECT_FALSE(Symbols::isKnown(" star"));
    EXPECT_NE(Symbols::image("Star", 32, Qt::black), Symbols::image("star", 32, Qt::black));

    EXPECT_TRUE(Symbols::image("star", 0, Qt::black).isNull());
    EXPECT_TRUE(Symbols::image("star", -5, Qt::black).isNull());
    QImage canvas(10, 10, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    Symbols::draw(painter, QPointF(5, 5), 0, "star", Qt::black);
    Symbols::draw(painter, QPointF(5, 5), -3, "no.such", Qt::black);
    painter.end();
    EXPECT_EQ(coverageOf(canvas).drawn, 0);
}

TEST(Symbols, DrawCentresTheSymbolAndHonoursThePixelRatio) {
    QImage canvas(100, 100, QImage::Format_ARGB32_Premultiplied);
    canvas.setDevicePixelRatio(2.0);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    Symbols::draw(painter, QPointF(25, 25), 20, "circle.inset.filled", Qt::black);
    painter.end();
    // The symbol's box is 24 points = 48 device pixels, centred at (50, 50) device pixels.
    const QRect bounds = coverageOf(canvas).bounds;
    ASSERT_FALSE(bounds.isEmpty());
    EXPECT_NEAR((bounds.left() + bounds.right()) / 2.0, 49.5, 1.5);
    EXPECT_NEAR((bounds.top() + bounds.bottom()) / 2.0, 49.5, 1.5);
    EXPECT_GE(bounds.left(), 26);
    EXPECT_LE(bounds.right(), 74);
    EXPECT_GT(bounds.width() - 1, 30);  // drawn at full device resolution, not at 24 pixels

    const QPixmap pixmap = Symbols::pixmap("house", 10, Qt::black, 2.0);
    EXPECT_EQ(pixmap.size(), QSize(24, 24));
    EXPECT_DOUBLE_EQ(pixmap.devicePixelRatio(), 2.0);
}

}  // namespace
}  // namespace velmora
