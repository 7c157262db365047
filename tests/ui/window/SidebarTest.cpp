// The sidebar as a user meets it: scenes shown as named, their menu, the suggestion card, the
// profile block, and the pinned foot that stays in the window however many scenes there are.
#include <QAccessible>
#include <QMenu>
#include <QPaintEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextDocument>

#include "tests/ui/window/WindowTest.hpp"
#include "ui/look/Theme.hpp"
#include "ui/sync/KeyedList.hpp"
#include "ui/widgets/LabelButton.hpp"
#include "ui/widgets/SlimScrollBar.hpp"
#include "ui/widgets/TextLabel.hpp"
#include "ui/window/ProfileBlock.hpp"
#include "ui/window/ScenesSection.hpp"
#include "ui/window/Sidebar.hpp"
#include "ui/window/SuggestionCard.hpp"

namespace velmora::testing {
namespace {

using SidebarView = WindowTest;

velmora::Setup scene(const std::string& id, const std::string& name,
                     std::vector<std::string> tweakIDs = {},
                     const std::string& icon = "moon.fill") {
    return {id, name, icon, std::move(tweakIDs), {}, {}, false};
}

// What a tool tip shows once Qt has read it.
std::string shownToolTip(const QWidget& widget) {
    QTextDocument document;
    document.setHtml(widget.toolTip());
    return document.toPlainText().toStdString();
}

std::vector<std::string> actionTexts(const QMenu& menu) {
    std::vector<std::string> texts;
    for (const QAction* action : menu.actions()) {
        texts.push_back(action->isSeparator() ? "---" : action->text().toStdString());
    }
    return texts;
}

QAction* actionNamed(const QMenu& menu, const QString& text) {
    for (QAction* action : menu.actions()) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

TEST_F(SidebarView, SceneNamesShowAsTypedInTheRowItsToolTipAndTheEditorTarget) {
    open();
    changeModel([&] {
        model->upsertSetup(scene("S1", "<b>x</b>"));
        model->upsertSetup(scene("S2", "A&B"));
    });
    for (const auto& [id, name] : {std::pair{"S1", "<b>x</b>"}, std::pair{"S2", "A&B"}}) {
        auto* row = find<SceneRow>(*window, sceneNames::row(id));
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->shownName().toStdString(), name);
        EXPECT_EQ(accessible(row), std::string("Button '") + name + "'");
        EXPECT_EQ(shownToolTip(*row), std::string("Switch to \u201C") + name + "\u201D");
        QMenu* menu = row->openMenu(row->mapToGlobal(row->rect().center()));
        EXPECT_THAT(actionTexts(*menu), ElementsAre("Switch to this scene", "Edit\u2026",
                                                    "Update to current setup", "---", "Delete"));
        actionNamed(*menu, QStringLiteral("Edit\u2026"))->trigger();
        menu->close();
        settle();
        ASSERT_TRUE(state().editorTarget.has_value());
        EXPECT_EQ(state().editorTarget->name, name);
        EXPECT_TRUE(state().showEditor);
    }
}

TEST_F(SidebarView, AKeyboardWithoutAMenuKeyAndAScreenReaderOpenTheScenesMenuToo) {
    open();
    changeModel([&] { model->upsertSetup(scene("S1", "Desk", {"t-a"})); });
    auto* row = find<SceneRow>(*window, sceneNames::row("S1"));
    const auto openedMenu = [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        const bool opened =
            menu != nullptr && menu->objectName() == QString::fromLatin1(sceneNames::menu);
        if (menu != nullptr) {
            menu->close();
            settle();
        }
        return opened;
    };
    row->setFocus(Qt::TabFocusReason);
    QTest::keyClick(row, Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_TRUE(openedMenu()) << "Shift+F10";

    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(row);
    ASSERT_NE(face, nullptr);
    ASSERT_NE(face->actionInterface(), nullptr);
    const QStringList actions = face->actionInterface()->actionNames();
    ASSERT_TRUE(actions.contains(QAccessibleActionInterface::showMenuAction()));
    face->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
    EXPECT_TRUE(openedMenu()) << "the show-menu action";
    EXPECT_TRUE(journal.empty()) << "opening the menu switched the scene";
    // Its press still switches to the scene.
    face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    settle();
    EXPECT_TRUE(backend->at(keyOf("t-a")).has_value());
}

TEST_F(SidebarView, ARightClickOpensTheMenuWithoutSwitchingAndEachEntryActsOnTheStoredScene) {
    open();
    changeModel([&] { model->upsertSetup(scene("S1", "Desk", {"t-a"})); });
    auto* row = find<SceneRow>(*window, sceneNames::row("S1"));
    click(row, Qt::RightButton);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(journal.empty()) << "a right click switched the scene";

    // The stored scene changed since the row was drawn: the menu acts on what is stored.
    model->upsertSetup(scene("S1", "Desk", {"t-b"}));
    actionNamed(*menu, QStringLiteral("Switch to this scene"))->trigger();
    menu->close();
    settle();
    EXPECT_TRUE(backend->at(keyOf("t-b")).has_value());
    EXPECT_FALSE(backend->at(keyOf("t-a")).has_value());

    // A left click switches too, with what is stored at the click.
    backend->values.clear();
    model->upsertSetup(scene("S1", "Desk", {"t-c"}));
    click(row);
    EXPECT_TRUE(backend->at(keyOf("t-c")).has_value());
    settle();

    backend->put(keyOf("t-d"), TweakValue::boolean(true));
    menu = row->openMenu(QPoint());
    actionNamed(*menu, QStringLiteral("Update to current setup"))->trigger();
    menu->close();
    settle();
    EXPECT_THAT(model->setups().at(0).tweakIDs, ElementsAre("t-c", "t-d"));
    EXPECT_EQ(row->setup().tweakIDs.size(), 2U) << "the kept row follows the stored scene";

    menu = row->openMenu(QPoint());
    actionNamed(*menu, QStringLiteral("Delete"))->trigger();
    menu->close();
    settle();
    EXPECT_TRUE(model->setups().empty());
    EXPECT_TRUE(find<TextLabel>(*window, sceneNames::hint)->isVisible());
    EXPECT_EQ(window->findChild<SceneRow*>(sceneNames::row("S1")), nullptr);
}

TEST_F(SidebarView, PlusOpensAnEmptyEditorAndAnUnknownStoredIconDrawsTheNeutralSymbol) {
    open();
    changeModel([&] {
        model->upsertSetup(scene("S1", "Desk"));
        model->upsertSetup(scene("S2", "Odd", {}, "../../../etc/passwd"));
        model->upsertSetup(scene("S3", "Gone", {}, "no.such.symbol"));
    });
    click(find(*window, sceneNames::add));
    settle();
    EXPECT_TRUE(state().showEditor);
    EXPECT_EQ(state().editorTarget, std::nullopt);

    EXPECT_EQ(find<SceneRow>(*window, sceneNames::row("S1"))->shownSymbol(), "moon.fill");
    for (const char* id : {"S2", "S3"}) {
        auto* row = find<SceneRow>(*window, sceneNames::row(id));
        EXPECT_EQ(row->shownSymbol(), "") << id;
        // The neutral symbol is drawn, not nothing.
        const QImage icon = row->grab(QRect(0, 0, row->height(), row->height())).toImage();
        EXPECT_GT(test::inkOf(icon, Theme::accent()).pixels, 0) << id;
    }
}

TEST_F(SidebarView, TheSuggestionOpensItsRecipeOrBrowsePowerAndIsAbsentForAVanishedRecipe) {
    open(Catalog::velmora());
    auto* card = find<SuggestionCard>(*window, "sidebar.suggestion");
    const Recipe& first = model->catalog().recipes().front();

    changeModel([&] { model->setSuggestion(Suggestion{first.id, false, "Because."}); });
    ASSERT_TRUE(card->isVisible());
    EXPECT_EQ(accessible(card), "Button '" + first.title + "'");
    clickRow("favorites");
    click(card);
    settle();
    EXPECT_EQ(state().selection, NavItem::recipe(first.id));
    EXPECT_EQ(state().backTo, NavItem::favorites());

    // The keep-awake tip, whatever recipe id comes with it; the back target stays.
    changeModel([&] { model->setSuggestion(Suggestion{first.id, true, std::string(300, 'w')}); });
    type(QStringLiteral("dock"));
    click(card);
    settle();
    EXPECT_EQ(state().selection, NavItem::browse());
    EXPECT_EQ(state().browseFilter, BrowseFilter::power());
    EXPECT_EQ(state().query, "");
    EXPECT_EQ(state().backTo, NavItem::favorites());
    // A long reason is cut after its second line.
    const auto reason = card->findChildren<TextLabel*>().back()->shownLines();
    ASSERT_EQ(reason.size(), 2U);
    EXPECT_TRUE(reason[1].endsWith(QStringLiteral("\u2026")));

    changeModel([&] { model->setSuggestion(Suggestion{"recipe-gone", false, "Because."}); });
    EXPECT_FALSE(card->isVisible());
    changeModel([&] { model->setSuggestion(std::nullopt); });
    EXPECT_FALSE(card->isVisible());
}

TEST_F(SidebarView, TheProfileBlockAsksForTheQuestionnaireAndSummarisesInFieldOrder) {
    open();
    auto* button = find<LabelButton>(*window, "sidebar.profileButton");
    auto* summary = findShownOrHidden<TextLabel>(*window, "sidebar.profileSummary");
    EXPECT_EQ(button->label(), QStringLiteral("Personalize"));
    EXPECT_FALSE(summary->isVisible());
    window->change([](WindowState& s) { s.showOnboarding = false; });
    settle();
    click(button);
    settle();
    EXPECT_TRUE(state().showOnboarding);

    changeModel([&] {
        model->saveProfile({UserField::designer, UserField::developer}, {}, DeviceKind::desktop);
    });
    EXPECT_EQ(button->label(), QStringLiteral("Update preferences"));
    EXPECT_TRUE(summary->isVisible());
    EXPECT_EQ(summary->text(), QStringLiteral("Developer, Designer \u00B7 Desktop"));

    UserProfile profile;
    profile.fields = {UserField::clean, UserField::photoVideo, UserField::writer};
    EXPECT_EQ(profileSummary(profile), "Writer, Photo & Video \u00B7 Laptop");
    profile.fields.clear();
    EXPECT_EQ(profileSummary(profile), "Everyone \u00B7 Laptop");
}

// The sidebar paints all of itself, so the window's paper is not painted under it first, over a
// quarter of the window at every full repaint.
TEST_F(SidebarView, TheWindowsPaperIsPaintedBesideTheSidebarNotUnderIt) {
    open(Catalog::velmora(), {MainWindow::minimumWidth, MainWindow::minimumHeight});
    struct PaintedRegion : QObject {
        QRegion painted;
        bool eventFilter(QObject* /*watched*/, QEvent* event) override {
            if (event->type() == QEvent::Paint) {
                painted += static_cast<QPaintEvent*>(event)->region();
            }
            return false;
        }
    } paper;
    window->installEventFilter(&paper);
    window->repaint();
    window->removeEventFilter(&paper);
    const QWidget& sidebar = window->sidebar();
    EXPECT_FALSE(paper.painted.contains(sidebar.mapTo(window.get(), sidebar.rect().center())));
    EXPECT_TRUE(paper.painted.contains(QPoint(sidebar.width() + 1, window->height() - 2)));
}

TEST_F(SidebarView, ManyScenesScrollWhileTheSuggestionAndProfileStayInTheWindow) {
    open(Catalog::velmora(), {MainWindow::minimumWidth, MainWindow::minimumHeight});
    const QScrollBar* bar = shownScrollBar(window->sidebar().scrollingPart());
    EXPECT_FALSE(bar->isVisible());
    changeModel([&] {
        for (int i = 0; i < 12; ++i) {
            model->upsertSetup(scene(std::string("S").append(std::to_string(i)),
                                     std::string("Scene ").append(std::to_string(i))));
        }
    });
    EXPECT_TRUE(bar->isVisible());
    const QRect inWindow(QPoint(0, 0), window->size());
    for (const char* name : {"sidebar.suggestion", "sidebar.profileButton"}) {
        QWidget* widget = find(*window, name);
        ASSERT_TRUE(widget->isVisible()) << name;
        const QRect placed(widget->mapTo(window.get(), QPoint(0, 0)), widget->size());
        EXPECT_TRUE(inWindow.contains(placed)) << name;
    }
    // The last scene is reached by scrolling.
    auto* last = find<SceneRow>(*window, sceneNames::row("S11"));
    window->sidebar().scrollingPart().ensureWidgetVisible(last);
    settle();
    EXPECT_FALSE(last->visibleRegion().isEmpty());
}

}  // namespace
}  // namespace velmora::testing
