// The plain buttons as a user meets them: the text shown as written and read aloud as their
// name, a capsule that greys while disabled and ignores clicks, the focus ring round the text
// once Tab lands, and
// a menu pill that opens its menu from anywhere on it, by pointer or key, without waiting on it.
#include <QAccessible>
#include <QMenu>
#include <QSignalSpy>
#include <QStyle>
#include <QTimer>
#include <algorithm>
#include <cstdlib>

#include "tests/ui/Ratio.hpp"
#include "tests/ui/ViewTest.hpp"
#include "ui/look/FocusRing.hpp"
#include "ui/look/Fonts.hpp"
#include "ui/look/Symbols.hpp"
#include "ui/look/Theme.hpp"
#include "ui/widgets/LabelButton.hpp"
#include "ui/widgets/MenuPill.hpp"
#include "ui/widgets/TextButton.hpp"

namespace velmora::testing {
namespace {

using ToolButtonLook = ViewTest;

// How many pixels of `shot` are near `colour`.
int shown(const QImage& shot, const QColor& colour) {
    return test::pixelsNear(shot, colour, 24);
}

// The size of what is drawn on `image`, its faintest edges left out.
QSize inked(const QImage& image) {
    constexpr int kFaintest = 64;
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) >= kFaintest) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds.size();
}

TEST_F(ToolButtonLook, AnAmpersandIsShownAndReadAsWrittenNotAsAMnemonic) {
    QWidget page;
    auto* button = new LabelButton("chevron.left", 11, DesignFont::inter(12, FontWeight::medium), 4,
                                   Theme::secondary(), &page);
    button->setLabel(QStringLiteral("Photo & Video"));
    button->move(10, 10);
    showOnPaper(page, QSize(240, 60));
    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(button);
    ASSERT_NE(spoken, nullptr);
    EXPECT_EQ(spoken->text(QAccessible::Name), QStringLiteral("Photo & Video"));
    EXPECT_EQ(spoken->role(), QAccessible::Button);
    // Wide enough for the whole text: nothing was eaten as a mnemonic.
    EXPECT_GE(button->width(),
              DesignFont::inter(12, FontWeight::medium).width(QStringLiteral("Photo & Video")));
    const QImage shot = page.grab().toImage().copy(button->geometry());
    EXPECT_TRUE(shot.save(test::artefactPath(QStringLiteral("look-label-button.png"))));
    EXPECT_GT(shown(shot, Theme::secondary()), 20) << "symbol and text in the button's colour";
    // The text reaches the button's far end, where "Photo  Video" would stop short.
    const QImage tail = shot.copy(shot.width() * 3 / 4, 0, shot.width() / 4, shot.height());
    EXPECT_GT(shown(tail, Theme::secondary()), 0);
    QSignalSpy clicks(button, &QAbstractButton::clicked);
    QTest::keyClick(button, Qt::Key_Space);
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    EXPECT_EQ(clicks.count(), 2) << "the keyboard and the pointer both press it";
}

TEST_F(ToolButtonLook, ADisabledCapsuleTakesItsDisabledFillAndIgnoresClicks) {
    QWidget page;
    auto* save = new TextButton(DesignFont::inter(13, FontWeight::semibold), Theme::paper(), &page);
    save->setLabel(QStringLiteral("Save scene"));
    save->setCapsule(Theme::ink(), Theme::faint(), 7, 16);
    save->move(10, 10);
    showOnPaper(page, QSize(200, 60));
    const QPoint middleLeft(save->geometry().left() + 6, save->geometry().center().y());
    EXPECT_TRUE(test::near(page.grab().toImage().pixelColor(middleLeft), Theme::ink(), 8));
    save->setEnabled(false);
    settle();
    const QImage shot = page.grab().toImage();
    EXPECT_TRUE(shot.copy(save->geometry())
                    .save(test::artefactPath(QStringLiteral("look-text-button-disabled.png"))));
    EXPECT_TRUE(test::near(shot.pixelColor(middleLeft), Theme::faint(), 8));
    // The capsule's corners are rounded away: what lies behind shows there.
    EXPECT_EQ(shot.pixelColor(save->geometry().topLeft() + QPoint(1, 1)), Theme::paper());
    QSignalSpy clicks(save, &QAbstractButton::clicked);
    QTest::mouseClick(save, Qt::LeftButton, {}, save->rect().center());
    EXPECT_EQ(clicks.count(), 0);
}

// A button with no bezel is as wide as its text: its ring goes round it, clear of the letters,
// whole even where the button touches its parent's edge.
TEST_F(ToolButtonLook, TheFocusRingGoesRoundAPlainButtonOnlyWhileItHasTheFocus) {
    QWidget page;
    auto* corner = new QWidget(&page);
    corner->setGeometry(10, 10, 100, 30);
    auto* skip = new TextButton(DesignFont::inter(12.5), Theme::faint(), corner);
    skip->setLabel(QStringLiteral("Skip"));
    skip->move(0, 0);
    showOnPaper(page, QSize(120, 50));
    // The window hands its only focusable control the focus as it shows.
    skip->clearFocus();
    settle();
    const QRect onButton(skip->mapTo(&page, QPoint(0, 0)), skip->size());
    const QRect around =
        onButton.adjusted(-focus::ringRoom, -focus::ringRoom, focus::ringRoom, focus::ringRoom);
    const QRect above(around.topLeft(), QSize(around.width(), focus::ringRoom));
    const auto shown = [&](const QRect& area) { return page.grab().toImage().copy(area); };
    // Pixels of `area` that differ from `before` by more than anti-aliasing would.
    const auto changed = [&](const QRect& area, const QImage& before) {
        const QImage current = shown(area);
        int count = 0;
        for (int y = 0; y < current.height(); ++y) {
            for (int x = 0; x < current.width(); ++x) {
                const QColor a = current.pixelColor(x, y);
                const QColor b = before.pixelColor(x, y);
                count += std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                                   std::abs(a.blue() - b.blue())}) > 24
                             ? 1
                             : 0;
            }
        }
        return count;
    };
    const QImage plainAround = shown(around);
    const QImage plainAbove = shown(above);
    const QImage plainButton = shown(onButton);
    skip->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(QTest::qWaitFor([&] { return skip->hasFocus(); }));
    settle();
    EXPECT_GT(changed(around, plainAround), 40) << "an outline around the text";
    EXPECT_GT(changed(above, plainAbove), 10) << "above the button, outside the parent it touches";
    EXPECT_EQ(changed(onButton, plainButton), 0) << "nothing drawn over the text";
    skip->clearFocus();
    settle();
    EXPECT_EQ(changed(around, plainAround), 0);
}

// A menu opened in a loop of its own would still be open when the timer fires inside the press.
TEST_F(ToolButtonLook, TheMenuPillOpensItsMenuFromAnyPartByPointerOrKeyWithoutALoopOfItsOwn) {
    QWidget page;
    auto* pill = new MenuPill(&page);
    pill->setLabel(QStringLiteral("On battery"), "battery.25");
    pill->addItem(QStringLiteral("On battery"), "battery.25", [] {});
    pill->move(10, 10);
    showOnPaper(page, QSize(220, 60));
    QMenu& menu = pill->menu();
    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(pill);
    ASSERT_NE(spoken, nullptr);
    EXPECT_TRUE(spoken->state().hasPopup);
    EXPECT_EQ(spoken->text(QAccessible::Name), QStringLiteral("On battery"));
    const auto opens = [&](const std::function<void()>& press) {
        bool pressing = true;
        bool nested = false;
        QTimer::singleShot(0, &menu, [&] {
            if (pressing && menu.isVisible()) {
                nested = true;
                menu.close();
            }
        });
        press();
        pressing = false;
        EXPECT_FALSE(nested) << "the press waited for the menu";
        const bool open = menu.isVisible();
        menu.hide();
        settle();
        return open;
    };
    // At the chevrons, where a split button would have its arrow.
    EXPECT_TRUE(opens([&] {
        QTest::mouseClick(pill, Qt::LeftButton, {}, QPoint(pill->width() - 4, pill->height() / 2));
    }));
    EXPECT_TRUE(opens([&] { QTest::mouseClick(pill, Qt::LeftButton, {}, QPoint(4, 4)); }));
    pill->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(opens([&] { QTest::keyClick(pill, Qt::Key_Space); }));
    pill->setEnabled(false);
    EXPECT_FALSE(
        opens([&] { QTest::mouseClick(pill, Qt::LeftButton, {}, pill->rect().center()); }));
}

// A menu pill's symbol, and the symbols of its menu's items, are drawn at the density of the
// screen they show on: a pill labelled on an ordinary screen and then moved to a denser one showed
// its symbol enlarged from the ordinary picture, and the menu's symbols, drawn once at the density
// the pill was made at, were stretched from a picture a little smaller than the square the menu
// gives them (29 pixels to 32 at ratio 2), soft and too large.
TEST_F(ToolButtonLook, TheMenuPillsSymbolsAreDrawnAtTheDensityOfTheirScreen) {
    constexpr qreal kMenuSymbolSize = 12;  // the design's size of a menu item's symbol
    for (const qreal ratio : test::kRatios) {
        QWidget moved;
        auto* early = new MenuPill(&moved);
        early->setLabel(QStringLiteral("On battery"), "battery.25");
        early->addItem(QStringLiteral("On battery"), "battery.25", [] {});
        early->move(10, 10);
        showOnPaper(moved, QSize(220, 60));
        test::moveToRatio(moved, ratio);
        settle();
        QWidget there;
        auto* late = new MenuPill(&there);
        late->move(10, 10);
        test::moveToRatio(there, ratio);
        showOnPaper(there, QSize(220, 60));
        late->setLabel(QStringLiteral("On battery"), "battery.25");
        late->adjustSize();
        settle();
        ASSERT_EQ(late->size(), early->size());
        // Neither rings: the window shown last gave its pill the focus.
        late->clearFocus();
        settle();
        EXPECT_EQ(test::ReferenceImage::largestChannelDelta(early->grab().toImage(),
                                                            late->grab().toImage()),
                  0)
            << "ratio " << ratio;

        // What the menu's style asks for, at its icon size and the screen's ratio.
        const int square = QApplication::style()->pixelMetric(QStyle::PM_SmallIconSize);
        const QPixmap item =
            early->menu().actions().first()->icon().pixmap(QSize(square, square), ratio);
        EXPECT_DOUBLE_EQ(item.devicePixelRatio(), ratio) << "laid one for one on the screen";
        // As large as the symbol drawn directly at that density.
        const QSize drawn = inked(
            Symbols::image("battery.25", Symbols::pixelsFor(kMenuSymbolSize, ratio), Theme::ink()));
        const QSize shown = inked(item.toImage());
        EXPECT_LE(std::abs(shown.width() - drawn.width()), 1) << "ratio " << ratio;
        EXPECT_LE(std::abs(shown.height() - drawn.height()), 1) << "ratio " << ratio;
    }
}

}  // namespace
}  // namespace velmora::testing
