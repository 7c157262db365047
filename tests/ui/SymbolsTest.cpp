// Symbol names resolve to compiled-in Phosphor SVGs, recoloured as asked; unknown names never fail.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <sstream>
#include <string>

#include "kit/Tweak.hpp"
#include "kit/UserProfile.hpp"
#include "tests/ui/Artefacts.hpp"
#include "ui/Icons.hpp"
#include "ui/SymbolMap.hpp"
#include "ui/Symbols.hpp"

namespace velmora {
namespace {

using test::inkOf;

// Every symbol name the interface draws anywhere, as the views and data tables name them.
constexpr const char* interfaceSymbols =
    "a.square airplane antenna.radiowaves.left.and.right app.badge app.fill "
    "arrow.counterclockwise arrow.down.app arrow.down.circle arrow.down.circle.fill "
    "arrow.left.arrow.right arrow.triangle.2.circlepath arrow.up.arrow.down "
    "arrow.up.circle arrow.up.left.and.arrow.down.right arrow.uturn.backward battery.100 "
    "battery.25 battery.50 bolt.fill bolt.slash briefcase briefcase.fill calendar "
    "calendar.circle camera camera.viewfinder checkmark checkmark.circle.fill "
    "chevron.down chevron.left chevron.left.forwardslash.chevron.right chevron.right "
    "chevron.up.chevron.down circle circle.inset.filled circle.lefthalf.filled "
    "circle.righthalf.filled clock clock.arrow.2.circlepath clock.arrow.circlepath "
    "clock.fill computermouse cup.and.saucer.fill curlybraces cursorarrow.click "
    "desktopcomputer display display.trianglebadge.exclamationmark doc.plaintext "
    "doc.text dock.rectangle exclamationmark.bubble exclamationmark.shield "
    "exclamationmark.triangle externaldrive externaldrive.badge.plus "
    "externaldrive.badge.xmark externaldrive.fill eye eye.circle eye.slash "
    "figure.walk.motion folder folder.fill function gamecontroller.fill gearshape "
    "graduationcap hammer hand.draw hand.raised.slash hand.tap hare hare.fill house "
    "icloud.slash info.circle keyboard laptopcomputer leaf.fill link list.bullet "
    "list.bullet.rectangle lock lock.shield macwindow macwindow.badge.plus "
    "magnifyingglass menubar.rectangle mic.slash minus.rectangle moon moon.circle "
    "moon.fill moon.zzz music.note opticaldiscdrive paintbrush.pointed "
    "person.crop.circle person.fill photo photo.stack pin play.circle plus "
    "plus.magnifyingglass powerplug powerplug.fill powersleep printer quote.opening "
    "rectangle.3.group rectangle.and.hand.point.up.left rectangle.center.inset.filled "
    "rectangle.on.rectangle rectangle.slash rectangle.split.3x1 safari scroll "
    "sidebar.left sparkles speaker.wave.2 speedometer square.and.arrow.down "
    "square.grid.2x2 square.grid.3x3 square.on.square square.stack.3d.up "
    "square.stack.3d.up.fill star star.fill sun.max.fill sunrise.fill text.alignleft "
    "textformat textformat.abc timer trash wand.and.rays wand.and.stars wifi "
    "wifi.exclamationmark wifi.slash wind ";

TEST(SymbolMap, EveryInterfaceSymbolAndNoOtherHasARenderableSvgOfTheRightWeight) {
    std::istringstream in(interfaceSymbols);
    std::size_t count = 0;
    for (std::string name; in >> name; ++count) {
        const PhosphorIcon* icon = SymbolMap::find(name);
        ASSERT_NE(icon, nullptr) << name;
        const QString path = QString::fromStdString(icon->resourcePath());
        EXPECT_TRUE(QSvgRenderer(path).isValid()) << name << " -> " << path.toStdString();
        // ".filled" is part of a name, not the fill weight.
        EXPECT_EQ(icon->weight == SymbolWeight::fill, name.ends_with(".fill")) << name;
    }
    EXPECT_EQ(count, 144u);
    EXPECT_EQ(SymbolMap::all().size(), count);
}

TEST(Icons, LookupsAreExactAndFallBackAndTheTablesOnlyNameMappedSymbols) {
    EXPECT_EQ(Icons::recipe("speed-boost"), "hare.fill");
    for (const char* unknown : {"unknown", "", "Speed-Boost", "speed-boost "}) {
        EXPECT_EQ(Icons::recipe(unknown), "wand.and.stars") << '"' << unknown << '"';
    }
    // The tweak table wins over the category passed in.
    EXPECT_EQ(Icons::tweak("power-wake-on-power", TweakCategory::finder), "powerplug");
    EXPECT_EQ(Icons::tweak("not-a-tweak", TweakCategory::power), "powersleep");
    EXPECT_EQ(Icons::tweak("", TweakCategory::finder), "folder");
    EXPECT_EQ(Icons::tweak("Dock-Lock-Size", TweakCategory::missionControl), "rectangle.3.group");

    std::vector<std::string> named;
    for (const auto* table : {&Icons::recipeMap(), &Icons::tweakMap()}) {
        for (const auto& [id, symbol] : *table) {
            named.emplace_back(symbol);
        }
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
    const test::Ink bolt = inkOf(image, accent);
    EXPECT_EQ(bolt.solidOfOtherColour, 0);
    EXPECT_GT(bolt.pixels, 48 * 48 / 10);  // a filled bolt covers a good part of its square
    QColor halfInk(35, 31, 26);
    halfInk.setAlphaF(0.5);
    EXPECT_NEAR(inkOf(Symbols::image("bolt.fill", 32, halfInk)).maxAlpha, 128, 2);
    EXPECT_GT(inkOf(Symbols::image("star.fill", 40, Qt::black)).pixels,
              inkOf(Symbols::image("star", 40, Qt::black)).pixels);
}

TEST(Symbols, UnknownNamesAndDegenerateSizesNeverFail) {
    const QImage fallback = Symbols::image("no.such.symbol", 32, Qt::black);
    EXPECT_GT(inkOf(fallback).pixels, 0);
    EXPECT_EQ(Symbols::image("", 32, Qt::black), fallback);
    // Names are matched exactly, as the tables are.
    EXPECT_FALSE(Symbols::isKnown(" star"));
    EXPECT_EQ(Symbols::image("Star", 32, Qt::black), fallback);
    EXPECT_TRUE(Symbols::image("star", 0, Qt::black).isNull());
    EXPECT_TRUE(Symbols::image("star", -5, Qt::black).isNull());
    QImage canvas(10, 10, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    Symbols::draw(painter, QPointF(5, 5), 0, "star", Qt::black);
    Symbols::draw(painter, QPointF(5, 5), -3, "no.such", Qt::black);
    painter.end();
    EXPECT_EQ(inkOf(canvas).pixels, 0);
}

TEST(Symbols, DrawCentresTheSymbolAndHonoursThePixelRatio) {
    QImage canvas(100, 100, QImage::Format_ARGB32_Premultiplied);
    canvas.setDevicePixelRatio(2.0);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    Symbols::draw(painter, QPointF(25, 25), 20, "circle.inset.filled", Qt::black);
    painter.end();
    // The symbol's box is 24 points = 48 device pixels, centred at (50, 50) device pixels.
    const QRect bounds = inkOf(canvas).bounds;
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
