// No view uses a Qt style sheet: one sheet anywhere makes Qt build its style-sheet style and
// parse the rules, code and heap that stay for the life of the process, and slows the polish of
// every widget it reaches. Checked over every widget of the window once each page and each sheet
// has shown, and over the popover.
#include <QStyle>

#include "tests/ui/window/WindowTest.hpp"
#include "ui/popover/MenuBarView.hpp"

namespace velmora::testing {
namespace {

class NoStyleSheets : public WindowTest {
  protected:
    // What of `root` (itself and every widget below it, shown or not) a style sheet styles.
    static std::vector<std::string> styledBySheets(const QWidget& root) {
        std::vector<std::string> found;
        QList<QWidget*> widgets = root.findChildren<QWidget*>();
        widgets.prepend(const_cast<QWidget*>(&root));
        for (const QWidget* widget : widgets) {
            if (!widget->styleSheet().isEmpty() || widget->style()->inherits("QStyleSheetStyle")) {
                found.push_back(std::string(widget->metaObject()->className()) + " '" +
                                widget->objectName().toStdString() + "'");
            }
        }
        return found;
    }
    void expectNoneIn(const QWidget& root, const std::string& after) {
        EXPECT_EQ(styledBySheets(root), std::vector<std::string>()) << "after " << after;
    }
};

TEST_F(NoStyleSheets, NoWidgetOfTheWindowItsPagesItsSheetsOrThePopoverIsStyledByASheet) {
    openFull();
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
    expectNoneIn(*window, "home");
    for (const char* item : {"active", "favorites", "browse", "automations"}) {
        clickRow(item);
        settleLayout();
        expectNoneIn(*window, item);
    }
    // The new-rule form with its time field.
    window->change([](WindowState& s) { s.newRuleKind = AutomationRule::Kind::atTime; });
    settleLayout();
    expectNoneIn(*window, "the time rule's form");
    for (const Recipe& recipe : model->recipes()) {
        window->change([&](WindowState& s) { s.openRecipe(recipe.id); });
        settleLayout();
        expectNoneIn(*window, recipe.id);
    }
    type(QStringLiteral("dock"));
    settleLayout();
    expectNoneIn(*window, "a search");

    window->change([](WindowState& s) { s.openEditor(std::nullopt); });
    settleLayout();
    ASSERT_NE(window->presentedSheet(), nullptr);
    expectNoneIn(*window->presentedSheet(), "the scene editor");
    window->change([](WindowState& s) { s.showEditor = false; });
    settle();
    window->change([](WindowState& s) { s.showOnboarding = true; });
    settleLayout();
    ASSERT_NE(window->presentedSheet(), nullptr);
    expectNoneIn(*window->presentedSheet(), "the questionnaire");

    MenuBarView popover(*model);
    constexpr int kPanelHeight = 440;
    showOnPaper(popover, QSize(MenuBarView::panelWidth, kPanelHeight));
    expectNoneIn(popover, "the popover");
}

}  // namespace
}  // namespace velmora::testing
