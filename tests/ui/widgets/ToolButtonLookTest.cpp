// The plain buttons as a user meets them: the text shown as written and read aloud as their
// name, a capsule that greys while disabled and ignores clicks, the focus ring once Tab lands, and
// a menu pill that opens its menu from anywhere on it, by pointer or key, without waiting on it.
#include <QAccessible>
#include <QMenu>
#include <QSignalSpy>
#include <QTimer>

#include "tests/ui/ViewTest.hpp"
#include "ui/look/Fonts.hpp"
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

TEST_F(ToolButtonLook, TheFocusRingShowsOnlyWhileTheButtonHasTheFocus) {
    QWidget page;
    auto* skip = new TextButton(DesignFont::inter(12.5), Theme::faint(), &page);
    skip->setLabel(QStringLiteral("Skip"));
    skip->move(10, 10);
    showOnPaper(page, QSize(120, 50));
    // The window hands its only focusable control the focus as it shows.
    skip->clearFocus();
    settle();
    const auto ring = [&] {
        return test::pixelsNear(page.grab().toImage().copy(skip->geometry()), Theme::accent(), 60);
    };
    EXPECT_EQ(ring(), 0);
    skip->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(QTest::qWaitFor([&] { return skip->hasFocus(); }));
    settle();
    EXPECT_GT(ring(), 10) << "an accent outline around the text";
    skip->clearFocus();
    settle();
    EXPECT_EQ(ring(), 0);
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

}  // namespace
}  // namespace velmora::testing
