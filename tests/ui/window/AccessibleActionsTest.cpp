// What a screen reader's actions do: a tool's "toggle" or "press" on a switch, a sidebar tab, a
// filter chip, a rule's switch, a panel row or the editor's disclosure does what a click does (the
// model or the window changes, and the control then shows it), and every control Tab reaches is a
// node the tools reach too, with a name and an action.
#include "tests/ui/AccessibleWalk.hpp"
#include "tests/ui/window/WindowTest.hpp"
#include "ui/components/SwitchRow.hpp"
#include "ui/popover/MenuBarView.hpp"
#include "ui/popover/MenuRowView.hpp"
#include "ui/sheets/SceneEditorDialog.hpp"
#include "ui/sheets/ScenePicker.hpp"
#include "ui/window/BrowsePage.hpp"
#include "ui/window/RuleRow.hpp"

namespace velmora::testing {
namespace {

class AccessibleActions : public WindowTest {
  protected:
    // The tool's action named `action` on `control`, as reached from `root`; false when the
    // control offers no such action.
    static bool act(QWidget& root, QWidget* control, const QString& action) {
        settleLayout();
        QAccessibleInterface* face = AccessibleWalk(root).reached(control);
        if (face == nullptr || face->actionInterface() == nullptr ||
            !face->actionInterface()->actionNames().contains(action)) {
            return false;
        }
        face->actionInterface()->doAction(action);
        settle();
        return true;
    }
    static QAccessible::State stateOf(QWidget& root, QWidget* control) {
        QAccessibleInterface* face = AccessibleWalk(root).reached(control);
        return face != nullptr ? face->state() : QAccessible::State{};
    }
    bool isOn(const char* id) { return model->isEnabled(*model->catalog().tweak(id)); }

    static const QString& toggle() {
        static const QString name = QAccessibleActionInterface::toggleAction();
        return name;
    }
    static const QString& press() {
        static const QString name = QAccessibleActionInterface::pressAction();
        return name;
    }
};

TEST_F(AccessibleActions, AToolsToggleOrPressChangesWhatTheControlStandsFor) {
    openFull();
    clickRow("browse");
    // A power-up's switch: on, then off again, in the domain files and on the switch.
    QWidget* jpg = find(*window, rowNames::toggle("screenshot-format-jpg"));
    ASSERT_TRUE(act(*window, jpg, toggle()));
    EXPECT_TRUE(isOn("screenshot-format-jpg"));
    EXPECT_TRUE(stateOf(*window, jpg).checked);
    ASSERT_TRUE(act(*window, jpg, toggle()));
    EXPECT_FALSE(isOn("screenshot-format-jpg"));
    EXPECT_FALSE(stateOf(*window, jpg).checked);

    // A filter chip chooses its filter, and only it reads as chosen.
    QWidget* power = find(*window, browseNames::chip(BrowseFilter::power()));
    ASSERT_TRUE(act(*window, power, toggle()));
    EXPECT_EQ(state().browseFilter, BrowseFilter::power());
    EXPECT_TRUE(stateOf(*window, power).checked);
    EXPECT_FALSE(stateOf(*window, find(*window, browseNames::chip(BrowseFilter::all()))).checked);

    // A sidebar tab shows its page, and reads as the selected one.
    QWidget* favorites = find(*window, navNames::row("favorites"));
    ASSERT_TRUE(act(*window, favorites, press()));
    EXPECT_EQ(state().selection, NavItem::favorites());
    EXPECT_TRUE(stateOf(*window, favorites).selected);
    EXPECT_FALSE(stateOf(*window, find(*window, navNames::row("browse"))).selected);

    // A rule's switch turns the rule off.
    changeModel([&] {
        model->addRule({"R1", AutomationRule::Kind::onPower, "S1", true, 20, 9, 30, {}, {}});
    });
    clickRow("automations");
    QWidget* rule = find(*window, ruleNames::toggle("R1"));
    ASSERT_TRUE(act(*window, rule, toggle()));
    ASSERT_EQ(model->rules().size(), 1U);
    EXPECT_FALSE(model->rules().front().enabled);
    EXPECT_FALSE(stateOf(*window, rule).checked);
}

TEST_F(AccessibleActions, AToolsToggleOnAPanelRowSwitchesItsPowerUp) {
    openFull();
    MenuBarView view(*model);
    showOnPaper(view, QSize(MenuBarView::panelWidth, 440));
    auto* row = find<MenuRowView>(view, menuNames::row("dev-show-hidden-files"));
    ASSERT_NE(row, nullptr);
    const bool before = isOn("dev-show-hidden-files");
    ASSERT_TRUE(act(view, row, toggle()));
    EXPECT_NE(isOn("dev-show-hidden-files"), before);
    EXPECT_EQ(stateOf(view, row).checked, !before);
}

TEST_F(AccessibleActions, TheEditorsDisclosureReadsWhetherItsPickerIsShownAndAPressTurnsIt) {
    openFull();
    window->change([](WindowState& s) { s.openEditor(std::nullopt); });
    settle();
    QDialog* editor = window->presentedSheet();
    ASSERT_NE(editor, nullptr);
    QWidget* disclosure = find(*editor, editorNames::disclosure);
    QAccessible::State before = stateOf(*editor, disclosure);
    EXPECT_TRUE(before.expandable);
    EXPECT_TRUE(before.collapsed);
    EXPECT_FALSE(before.expanded);
    ASSERT_TRUE(act(*editor, disclosure, press()));
    ASSERT_NE(editor->findChild<QWidget*>(pickerNames::picker), nullptr);
    EXPECT_TRUE(editor->findChild<QWidget*>(pickerNames::picker)->isVisible());
    EXPECT_TRUE(stateOf(*editor, disclosure).expanded);
    EXPECT_FALSE(stateOf(*editor, disclosure).collapsed);
}

TEST_F(AccessibleActions, EveryControlTabReachesIsANamedNodeWithAnAction) {
    openFull();
    changeModel([&] {
        model->addRule({"R1", AutomationRule::Kind::onPower, "S1", true, 20, 9, 30, {}, {}});
    });
    const auto expectReachable = [](QWidget& root, const std::string& where) {
        settleLayout();
        const AccessibleWalk walk(root);
        for (QWidget* control : root.findChildren<QWidget*>()) {
            if ((control->focusPolicy() & Qt::TabFocus) != Qt::TabFocus ||
                !control->isVisibleTo(&root) || !control->isEnabled() ||
                control->focusProxy() != nullptr ||
                qobject_cast<QAbstractScrollArea*>(control) != nullptr) {
                continue;
            }
            const std::string what = where + ": " + control->metaObject()->className() + " " +
                                     control->objectName().toStdString();
            QAccessibleInterface* face = walk.reached(control);
            ASSERT_NE(face, nullptr) << what << " is out of the tools' reach";
            EXPECT_FALSE(face->text(QAccessible::Name).trimmed().isEmpty()) << what;
            ASSERT_NE(face->actionInterface(), nullptr) << what;
            EXPECT_FALSE(face->actionInterface()->actionNames().isEmpty()) << what;
            EXPECT_TRUE(face->actionInterface()->actionNames().contains(
                QAccessibleActionInterface::setFocusAction()))
                << what << " cannot be given the focus by a tool";
        }
    };
    for (const char* item : {"home", "favorites", "browse", "active", "automations"}) {
        clickRow(item);
        expectReachable(*window, item);
    }
    window->openRecipe(model->catalog().recipes()[3]);
    expectReachable(*window, "recipe");
    window->change([&](WindowState& s) { s.openEditor(model->setups().front()); });
    settle();
    ASSERT_NE(window->presentedSheet(), nullptr);
    expectReachable(*window->presentedSheet(), "scene editor");
    window->presentedSheet()->reject();
    settle();
    window->change([](WindowState& s) { s.showOnboarding = true; });
    settle();
    ASSERT_NE(window->presentedSheet(), nullptr);
    expectReachable(*window->presentedSheet(), "onboarding");
    MenuBarView panel(*model);
    showOnPaper(panel, QSize(MenuBarView::panelWidth, 440));
    expectReachable(panel, "panel");
}

}  // namespace
}  // namespace velmora::testing
