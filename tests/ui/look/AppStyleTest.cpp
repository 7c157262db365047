// Tool tips and menus in the application's look: Inter on paper, in ink, with rounded corners; a
// short tip on one line; a destructive item in red.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QToolTip>

#include "tests/ui/Artefacts.hpp"
#include "ui/look/AppStyle.hpp"
#include "ui/look/Theme.hpp"
#include "ui/widgets/Text.hpp"

namespace velmora {
namespace {

using test::pixelsNear;

// The label Qt shows a tool tip in, once it is up.
QLabel* shownTip() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QStringLiteral("qtooltip_label") && widget->isVisible()) {
            return qobject_cast<QLabel*>(widget);
        }
    }
    return nullptr;
}

class AppLook : public ::testing::Test {
  protected:
    void TearDown() override { QToolTip::hideText(); }
    QWidget anchor;

    QLabel* showTip(const QString& text) {
        anchor.resize(200, 100);
        anchor.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&anchor));
        QToolTip::showText(anchor.mapToGlobal(QPoint(20, 20)), plainToolTip(text), &anchor);
        QLabel* tip = nullptr;
        EXPECT_TRUE(QTest::qWaitFor([&] { return (tip = shownTip()) != nullptr; }));
        return tip;
    }
};

TEST_F(AppLook, AShortTipStaysOnOneLineInInterOnRoundedPaperALongOneWraps) {
    QLabel* tip = showTip(QStringLiteral("See everything that's on"));
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->font().family(), QStringLiteral("Inter"));
    const QFontMetrics metrics(tip->font());
    EXPECT_LT(tip->height(), 2 * metrics.lineSpacing()) << "one line";
    EXPECT_GT(tip->width(), metrics.horizontalAdvance(QStringLiteral("See everything that's on")));
    const QImage shot = tip->grab().toImage();
    EXPECT_TRUE(shot.save(test::artefactPath(QStringLiteral("look-tooltip.png"))));
    EXPECT_EQ(shot.pixelColor(shot.width() / 2, 3), Theme::paper());
    EXPECT_GT(pixelsNear(shot, Theme::ink(), 40), 20) << "ink text";
    EXPECT_FALSE(tip->mask().isEmpty()) << "the corners are cut round";
    EXPECT_FALSE(tip->mask().contains(QPoint(0, 0)));
    EXPECT_TRUE(tip->mask().contains(QPoint(tip->width() / 2, 0)));

    // A user's scene name with its quotes and markup, short enough, stays on one line too.
    tip = showTip(QStringLiteral("Switch to \u201C<b>Desk</b>\u201D"));
    ASSERT_NE(tip, nullptr);
    EXPECT_LT(tip->height(), 2 * metrics.lineSpacing());
    EXPECT_EQ(tip->text().contains(QStringLiteral("<b>Desk")), false) << "markup is escaped";

    const QString longTip = QStringLiteral("word ").repeated(60).trimmed();
    tip = showTip(longTip);
    ASSERT_NE(tip, nullptr);
    EXPECT_GT(tip->height(), 2 * metrics.lineSpacing()) << "a long tip wraps";
}

TEST_F(AppLook, MenusAreRoundedPaperInInterAndADestructiveItemIsRed) {
    QMenu menu;
    menu.addAction(QStringLiteral("Switch to this scene"));
    menu.addAction(QStringLiteral("Edit\u2026"));
    menu.addSeparator();
    QAction* remove = menu.addAction(QStringLiteral("Delete"));
    markDestructive(*remove);
    EXPECT_TRUE(isDestructive(*remove));
    EXPECT_FALSE(isDestructive(*menu.actions().front()));
    menu.popup(QPoint(100, 100));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
    EXPECT_EQ(menu.font().family(), QStringLiteral("Inter"));
    EXPECT_FALSE(menu.mask().contains(QPoint(0, 0)));
    const QImage shot = menu.grab().toImage();
    EXPECT_TRUE(shot.save(test::artefactPath(QStringLiteral("look-menu.png"))));
    EXPECT_EQ(shot.pixelColor(shot.width() / 2, 2), Theme::paper());
    const QRect deleteRow = menu.actionGeometry(remove);
    const QRect editRow = menu.actionGeometry(menu.actions()[1]);
    EXPECT_GT(pixelsNear(shot.copy(deleteRow), AppStyle::destructive(), 60), 10);
    EXPECT_EQ(pixelsNear(shot.copy(editRow), AppStyle::destructive(), 60), 0);
    EXPECT_GT(pixelsNear(shot.copy(editRow), Theme::ink(), 40), 10);

    // The item under the pointer: white on the accent, the destructive one white on red.
    menu.setActiveAction(menu.actions()[1]);
    QImage chosen = menu.grab().toImage().copy(editRow);
    EXPECT_GT(pixelsNear(chosen, Theme::accent(), 2), chosen.width() * chosen.height() / 2);
    EXPECT_GT(pixelsNear(chosen, Theme::card(), 40), 10);
    menu.setActiveAction(remove);
    chosen = menu.grab().toImage().copy(deleteRow);
    EXPECT_TRUE(menu.grab().save(test::artefactPath(QStringLiteral("look-menu-delete.png"))));
    EXPECT_GT(pixelsNear(chosen, AppStyle::destructive(), 2), chosen.width() * chosen.height() / 2);
    menu.close();
}

}  // namespace
}  // namespace velmora
