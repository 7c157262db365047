// Symbol names resolve to compiled-in Phosphor SVGs, recoloured as asked; unknown names never fail.
#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <sstream>
#include <string>
#include <vector>

#include "kit/Tweak.hpp"
#include "kit/UserProfile.hpp"
#include "tests/ui/Artefacts.hpp"
#include "ui/look/Icons.hpp"
#include "ui/look/SymbolMap.hpp"
#include "ui/look/Symbols.hpp"
#include "ui/widgets/SymbolView.hpp"

namespace velmora {
namespace {

using test::inkOf;

// Every symbol name the interface draws anywhere, as the views and data tables name them.
constexpr const char* interfaceSymbols =
    "a.square airplane antenna.radiowaves.left.and.right app.badge app.fill "
    "arrow.counterclockwise arrow.down.app arrow.down.circle arrow.down.circle.fill "
    "arrow.left.arrow.right arrow.triangle.2.circlepath arrow.up.arrow.down arrow.up.circle "
    "arrow.up.left.and.arrow.down.right arrow.uturn.backward battery.100 battery.25 battery.50 "
    "bolt.fill bolt.slash briefcase briefcase.fill calendar calendar.circle camera "
    "camera.viewfinder checkmark checkmark.circle.fill chevron.down chevron.left "
    "chevron.left.forwardslash.chevron.right chevron.right chevron.up.chevron.down circle "
    "circle.inset.filled circle.lefthalf.filled circle.righthalf.filled clock "
    "clock.arrow.2.circlepath clock.arrow.circlepath clock.fill computermouse cup.and.saucer.fill "
    "curlybraces cursorarrow.click desktopcomputer display display.trianglebadge.exclamationmark "
    "doc.plaintext doc.text dock.rectangle exclamationmark.bubble exclamationmark.shield "
    "exclamationmark.triangle externaldrive externaldrive.badge.plus externaldrive.badge.xmark "
    "externaldrive.fill eye eye.circle eye.slash figure.walk.motion folder folder.fill function "
    "gamecontroller.fill gearshape graduationcap hammer hand.draw hand.raised.slash hand.tap hare "
    "hare.fill house icloud.slash info.circle keyboard laptopcomputer leaf.fill link list.bullet "
    "list.bullet.rectangle lock lock.shield macwindow macwindow.badge.plus magnifyingglass "
    "menubar.rectangle mic.slash minus.rectangle moon moon.circle moon.fill moon.zzz music.note "
    "opticaldiscdrive paintbrush.pointed person.crop.circle person.fill photo photo.stack pin "
    "play.circle plus plus.magnifyingglass powerplug powerplug.fill powersleep printer "
    "quote.opening rectangle.3.group rectangle.and.hand.point.up.left "
    "rectangle.center.inset.filled rectangle.on.rectangle rectangle.slash rectangle.split.3x1 "
    "safari scroll sidebar.left sparkles speaker.wave.2 speedometer square.and.arrow.down "
    "square.grid.2x2 square.grid.3x3 square.on.square square.stack.3d.up square.stack.3d.up.fill "
    "star star.fill sun.max.fill sunrise.fill text.alignleft textformat textformat.abc timer "
    "trash wand.and.rays wand.and.stars wifi wifi.exclamationmark wifi.slash wind ";

TEST(SymbolMap, EveryInterfaceSymbolAndNoOtherHasARenderableSvgOfTheRightWeight) {
    std::istringstream in(interfaceSymbols);
    std::size_t count = 0;
    for (std::string name; in >> name; ++count) {
        const PhosphorIcon* icon = SymbolMap::find(name);
        ASSERT_NE(icon, nullptr) << name;
        EXPECT_TRUE(QSvgRenderer(QString::fromStdString(icon->resourcePath())).isValid()) << name;
        // ".filled" is part of a name, not the fill weight; a ring with a filled centre is
        // Phosphor's filled radio button.
        EXPECT_EQ(icon->weight == SymbolWeight::fill,
                  name.ends_with(".fill") || name == "circle.inset.filled")
            << name;
        // Every outline is carried in the bold cut too, for symbols beside heavier text.
        const PhosphorIcon heavy = icon->at(FontWeight::bold);
        EXPECT_TRUE(QSvgRenderer(QString::fromStdString(heavy.resourcePath())).isValid()) << name;
        EXPECT_EQ(heavy.weight == SymbolWeight::fill, icon->weight == SymbolWeight::fill) << name;
    }
    EXPECT_EQ(count, 144u);
    EXPECT_EQ(SymbolMap::all().size(), count);
}

TEST(Icons, LookupsAreExactAndFallBackAndTheTablesOnlyNameMappedSymbols) {
    EXPECT_EQ(Icons::recipe("speed-boost"), "hare.fill");
    EXPECT_EQ(Icons::recipe("Speed-Boost"), "wand.and.stars") << "exact names only";
    // The tweak table wins over the category passed in.
    EXPECT_EQ(Icons::tweak("power-wake-on-power", TweakCategory::finder), "powerplug");
    EXPECT_EQ(Icons::tweak("not-a-tweak", TweakCategory::power), "powersleep");

    const auto mapped = [](std::string_view symbol) {
        EXPECT_TRUE(Symbols::isKnown(std::string(symbol))) << symbol;
    };
    for (const auto* table : {&Icons::recipeMap(), &Icons::tweakMap()}) {
        for (const auto& [id, symbol] : *table) {
            mapped(symbol);
        }
    }
    for (TweakCategory category : allCases<TweakCategory>()) {
        mapped(Icons::categoryFallback(category));
    }
    for (UserField field : allCases<UserField>()) {
        mapped(icon(field));
    }
    for (UserGoal goal : allCases<UserGoal>()) {
        mapped(icon(goal));
    }
    for (DeviceKind kind : allCases<DeviceKind>()) {
        mapped(icon(kind));
    }
}

TEST(Symbols, RecolouredToExactlyTheAskedColourAndUnknownNamesDrawTheFallback) {
    const QColor accent(193, 98, 59);
    const test::Ink bolt = inkOf(Symbols::image("bolt.fill", 48, accent), accent);
    EXPECT_EQ(bolt.solidOfOtherColour, 0);
    EXPECT_GT(bolt.pixels, 48 * 48 / 10);  // a filled bolt covers a good part of its square
    QColor halfInk(35, 31, 26);
    halfInk.setAlphaF(0.5);
    EXPECT_NEAR(inkOf(Symbols::image("bolt.fill", 32, halfInk)).maxAlpha, 128, 2);

    const QImage fallback = Symbols::image("no.such.symbol", 32, Qt::black);
    EXPECT_GT(inkOf(fallback).pixels, 0);
    EXPECT_EQ(Symbols::image("Star", 32, Qt::black), fallback) << "names match exactly";
    EXPECT_TRUE(Symbols::image("star", -5, Qt::black).isNull());
    QImage canvas(10, 10, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    Symbols::draw(painter, QPointF(5, 5), 0, "no.such", Qt::black);
    painter.end();
    EXPECT_EQ(inkOf(canvas).pixels, 0);
}

// A button's symbol icon is drawn when asked for, at the density asked for: the same picture as
// the symbol drawn directly, twice as many pixels on a double-density screen, greyed out when
// disabled.
TEST(Symbols, AnIconIsTheSymbolAtTheAskedDensityAndGreysOutWhenDisabled) {
    const QColor ink(124, 117, 104);
    const QIcon icon = Symbols::icon("plus", ink, FontWeight::bold);
    const QPixmap ordinary = icon.pixmap(QSize(12, 12), 1.0);
    EXPECT_EQ(ordinary.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
              Symbols::image("plus", 12, ink, FontWeight::bold));
    const QPixmap dense = icon.pixmap(QSize(12, 12), 2.0);
    EXPECT_EQ(dense.size(), QSize(24, 24));
    EXPECT_DOUBLE_EQ(dense.devicePixelRatio(), 2.0);
    EXPECT_EQ(dense.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
              Symbols::image("plus", 24, ink, FontWeight::bold));
    EXPECT_EQ(icon.pixmap(QSize(12, 12), 1.0).toImage(), ordinary.toImage()) << "drawn again alike";
    const QImage disabled = icon.pixmap(QSize(12, 12), 1.0, QIcon::Disabled).toImage();
    EXPECT_EQ(disabled.size(), QSize(12, 12));
    EXPECT_NE(disabled.convertToFormat(QImage::Format_ARGB32_Premultiplied),
              ordinary.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied));
    EXPECT_TRUE(icon.pixmap(QSize(0, 0), 1.0).isNull());
}

// Only the symbols drawn last keep their parsed SVG: one drawn again after every other symbol,
// in a colour it was never drawn in, has the same shape, and the placeholder still shows for a
// name without an icon.
TEST(Symbols, ASymbolDrawnAgainAfterAllTheOthersKeepsItsShape) {
    constexpr int kPixels = 31;  // a size no other case draws, so nothing comes from a cache
    const QColor first(10, 20, 30);
    const QColor later(200, 100, 50);
    const auto alphaOf = [](const QImage& image) {
        std::vector<int> alpha;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                alpha.push_back(qAlpha(image.pixel(x, y)));
            }
        }
        return alpha;
    };
    const QImage before = Symbols::image("wand.and.stars", kPixels, first, FontWeight::semibold);
    ASSERT_GT(inkOf(before, first).pixels, 0);
    const QImage placeholder = Symbols::image("no.such.symbol", kPixels, first);
    for (const auto& [name, icon] : SymbolMap::all()) {
        EXPECT_FALSE(Symbols::image(name, kPixels, first).isNull()) << name;
    }
    const QImage after = Symbols::image("wand.and.stars", kPixels, later, FontWeight::semibold);
    EXPECT_EQ(inkOf(after, later).solidOfOtherColour, 0);
    EXPECT_EQ(alphaOf(after), alphaOf(before));
    EXPECT_EQ(alphaOf(Symbols::image("no.such.symbol.either", kPixels, later)),
              alphaOf(placeholder));
}

// A symbol drawn on a card at a pixel-aligned centre, as a row draws it.
QImage onCard(std::string_view name, qreal size, const QColor& colour, FontWeight weight,
              QPointF centre = {12, 12}) {
    QImage canvas(24, 24, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    Symbols::draw(painter, centre, size, name, colour, weight);
    painter.end();
    return canvas;
}
// How many pixels show `colour` itself.
int pixelsOf(const QImage& image, const QColor& colour, int tolerance = 6) {
    return test::pixelsNear(image, colour, tolerance);
}
// The ink a symbol lays down, in whole-pixel equivalents.
double coverage(const QImage& image) {
    double ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            ink += 1.0 - image.pixelColor(x, y).lightnessF();
        }
    }
    return ink;
}

// The popover's applied mark (10.5 bold, accent) and the pill's (9 bold, paper on accent) are
// solid strokes in their own colour, not pale hairlines; heavier text gets heavier symbols.
TEST(Symbols, BoldSymbolsAtSmallSizesShowTheirColourAndWeightsGrowHeavier) {
    const QColor accent(193, 98, 59);
    EXPECT_GE(pixelsOf(onCard("checkmark", 10.5, accent, FontWeight::bold), accent), 4);
    EXPECT_EQ(pixelsOf(onCard("checkmark", 10.5, accent, FontWeight::regular), accent), 0)
        << "the regular cut alone stays a hairline";
    // A half-pixel centre lands on the same crisp pixels instead of being smeared.
    EXPECT_GE(pixelsOf(onCard("checkmark", 10.5, accent, FontWeight::bold, {12.5, 11.5}), accent),
              4);
    for (const char* name : {"checkmark", "arrow.uturn.backward", "chevron.right", "plus"}) {
        double lighter = 0;
        for (FontWeight weight :
             {FontWeight::regular, FontWeight::medium, FontWeight::semibold, FontWeight::bold}) {
            const double ink = coverage(onCard(name, 11, Qt::black, weight));
            EXPECT_GT(ink, lighter) << name << " at weight " << static_cast<int>(weight);
            lighter = ink;
        }
    }
    QImage pill(24, 24, QImage::Format_ARGB32_Premultiplied);
    pill.fill(accent);
    const QColor paper(244, 241, 234);
    QPainter painter(&pill);
    Symbols::draw(painter, {12, 12}, 9, "checkmark", paper, FontWeight::bold);
    painter.end();
    EXPECT_GE(pixelsOf(pill, paper, 12), 2) << "paper, not a grey blur";
}

// A symbol drawn by a widget inside another lands on that widget, wherever it sits in its window.
TEST(Symbols, AWidgetNestedInAWindowDrawsItsSymbolOnItself) {
    const QColor accent(193, 98, 59);
    QWidget window;
    window.resize(80, 60);
    window.setAutoFillBackground(true);
    window.setPalette(QPalette(Qt::white));
    auto* inner = new QWidget(&window);
    inner->setGeometry(23, 17, 30, 30);
    auto* symbol = new SymbolView("circle.inset.filled", 13, accent, inner);
    symbol->move(5, 5);
    const QImage shot = window.grab().toImage();
    // In the picture's pixels, which a high-density screen makes more of.
    const QTransform toPixels =
        QTransform::fromScale(shot.devicePixelRatio(), shot.devicePixelRatio());
    const QRect square(symbol->mapTo(&window, QPoint()), symbol->size());
    EXPECT_EQ(shot.pixelColor(toPixels.map(QRectF(square).center()).toPoint()), accent);
    EXPECT_EQ(pixelsOf(shot.copy(toPixels.mapRect(square)), accent), pixelsOf(shot, accent))
        << "nothing of it outside its own square";
}

// "circle.inset.filled" marks an on row with a filled centre; "circle" marks an off row with none.
TEST(Symbols, TheInsetFilledCircleHasAFilledCentreThePlainCircleNone) {
    const QColor accent(193, 98, 59);
    const QImage on = onCard("circle.inset.filled", 13, accent, FontWeight::regular);
    const QImage off = onCard("circle", 13, accent, FontWeight::regular);
    EXPECT_EQ(on.pixelColor(12, 12), accent);
    EXPECT_EQ(off.pixelColor(12, 12), QColor(Qt::white));
    EXPECT_GT(pixelsOf(on, accent), 2 * pixelsOf(off, accent));
}

}  // namespace
}  // namespace velmora
