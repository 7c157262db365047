// Tab through every page, both sheets and the popover as a keyboard user does: the focus visits
// every control once per round, each control looks different while it has the focus (its ring),
// the round goes in reading order (the sidebar, then the top bar and the page; lines from the top,
// left to right, a card's own controls right after the card) and comes back to where it began;
// Backtab goes back through the same round.
#include <QScrollArea>
#include <QScrollBar>
#include <set>

#include "tests/ui/window/WindowTest.hpp"
#include "ui/components/SwitchRow.hpp"
#include "ui/look/FocusRing.hpp"
#include "ui/popover/MenuBarView.hpp"
#include "ui/sheets/OnboardingDialog.hpp"
#include "ui/sheets/SceneEditorDialog.hpp"
#include "ui/sheets/ScenePicker.hpp"
#include "ui/sheets/SheetOverlay.hpp"
#include "ui/shell/Popover.hpp"
#include "ui/widgets/ReadingOrder.hpp"
#include "ui/widgets/Stepper.hpp"
#include "ui/window/NewRuleCard.hpp"
#include "ui/window/Sidebar.hpp"

namespace velmora::testing {
namespace {

class TabWalk : public WindowTest {
  protected:
    static constexpr int kMostStops = 800;

    void openFull() {
        WindowTest::openFull();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    // The controls a user can reach with Tab under `root`, found here rather than asked of the
    // views.
    static std::vector<QWidget*> reachable(const QWidget& root) {
        std::vector<QWidget*> found;
        for (QWidget* widget : root.findChildren<QWidget*>()) {
            if ((widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && widget->isEnabled() &&
                widget->isVisibleTo(&root) && widget->focusProxy() == nullptr &&
                qobject_cast<QAbstractScrollArea*>(widget) == nullptr) {
                found.push_back(widget);
            }
        }
        return found;
    }
    // Where `widget` stands in `root` with every scroll area at its top.
    static QRect placeOf(const QWidget& widget, const QWidget& root) {
        QPoint at;
        for (const QWidget* step = &widget; step != &root; step = step->parentWidget()) {
            const QWidget* viewport = step->parentWidget();
            const auto* area = qobject_cast<const QAbstractScrollArea*>(viewport->parentWidget());
            if (area == nullptr || area->viewport() != viewport) {
                at += step->pos();
            }
        }
        return {at, widget.size()};
    }
    static std::string nameOf(const QWidget* widget) {
        return std::string(widget->metaObject()->className()) + " " +
               widget->objectName().toStdString();
    }

    // What the window shows of `control` and of the ring's room around it.
    static QImage seen(QWidget& control) {
        QWidget* window = control.window();
        const QRect shown(control.mapTo(window, QPoint(0, 0)), control.size());
        return window
            ->grab(shown.adjusted(-focus::ringRoom, -focus::ringRoom, focus::ringRoom,
                                  focus::ringRoom))
            .toImage();
    }

    // Tabs round `root` once from nothing focused, with `column` telling which column a control
    // stands in; checks every stop and returns them in order.
    std::vector<QWidget*> walk(QWidget& root, const std::function<int(const QWidget&)>& column) {
        settleLayout();
        const std::vector<QWidget*> controls = reachable(root);
        const std::set<const QWidget*> all(controls.begin(), controls.end());
        if (QWidget* focused = QApplication::focusWidget()) {
            focused->clearFocus();
        }
        settle();
        std::map<const QWidget*, QImage> unfocused;
        for (QWidget* control : controls) {
            unfocused[control] = seen(*control);
        }
        std::vector<QWidget*> stops;
        for (int press = 0; press < kMostStops; ++press) {
            QWidget* from = QApplication::focusWidget();
            QTest::keyClick(from != nullptr ? from : &root, Qt::Key_Tab);
            QWidget* focused = QApplication::focusWidget();
            if (focused == nullptr) {
                ADD_FAILURE() << "Tab left nothing focused after " << stops.size() << " stops";
                break;
            }
            if (!stops.empty() && focused == stops.front()) {
                break;
            }
            if (std::ranges::find(stops, focused) != stops.end() || !all.contains(focused)) {
                ADD_FAILURE() << "Tab went to " << nameOf(focused) << " after " << stops.size()
                              << " stops, outside one round of " << controls.size();
                break;
            }
            EXPECT_NE(seen(*focused), unfocused[focused])
                << nameOf(focused) << " looks the same with the focus";
            stops.push_back(focused);
        }
        EXPECT_EQ(stops.size(), controls.size()) << "a round of Tab visits every control once";
        expectReadingOrder(stops, all, root, column);
        if (!stops.empty()) {
            // Backtab from the first stop goes round to the last, and on back through the round
            // in the reverse order.
            stops.front()->setFocus(Qt::TabFocusReason);
            std::vector<QWidget*> back;
            for (std::size_t press = 0; press < stops.size(); ++press) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
                back.push_back(QApplication::focusWidget());
            }
            EXPECT_EQ(back.front(), stops.back());
            EXPECT_TRUE(std::equal(back.begin(), back.end(), stops.rbegin()))
                << "Backtab goes back through the round Tab went";
        }
        return stops;
    }

    static void expectReadingOrder(const std::vector<QWidget*>& stops,
                                   const std::set<const QWidget*>& all, const QWidget& root,
                                   const std::function<int(const QWidget&)>& column) {
        // The control `widget` lies in, if it lies in one.
        const auto holderOf = [&](const QWidget* widget) -> const QWidget* {
            for (const QWidget* up = widget->parentWidget(); up != nullptr && up != &root;
                 up = up->parentWidget()) {
                if (all.contains(up)) {
                    return up;
                }
            }
            return nullptr;
        };
        for (std::size_t at = 1; at < stops.size(); ++at) {
            const QWidget* before = stops[at - 1];
            const QWidget* after = stops[at];
            if (holderOf(after) == before) {
                continue;  // into the card it lies on
            }
            // Compare the two as the siblings they are part of (a card's star as its card).
            while (holderOf(before) != holderOf(after)) {
                if (holderOf(before) == nullptr) {
                    after = holderOf(after);
                } else {
                    before = holderOf(before);
                }
            }
            const int beforeColumn = column(*before);
            const int afterColumn = column(*after);
            if (beforeColumn != afterColumn) {
                EXPECT_LT(beforeColumn, afterColumn)
                    << nameOf(before) << " then " << nameOf(after) << ": columns out of order";
                continue;
            }
            const QRect a = placeOf(*before, root);
            const QRect b = placeOf(*after, root);
            const bool sameLine = a.top() < b.bottom() && b.top() < a.bottom();
            EXPECT_TRUE(sameLine ? a.left() < b.left() : a.top() < b.top())
                << nameOf(before) << " at " << a.x() << "," << a.y() << " then " << nameOf(after)
                << " at " << b.x() << "," << b.y();
        }
    }

    std::function<int(const QWidget&)> windowColumns() const {
        return [sidebar = &window->sidebar()](const QWidget& widget) {
            return sidebar->isAncestorOf(&widget) ? 0 : 1;
        };
    }
};

TEST_F(TabWalk, EveryPageIsWalkedInReadingOrderWithEachStopRinged) {
    openFull();
    for (const char* item : {"home", "favorites", "browse", "active", "automations"}) {
        SCOPED_TRACE(item);
        clickRow(item);
        const std::vector<QWidget*> stops = walk(*window, windowColumns());
        // The sidebar's rows, the search field and the page's own controls.
        ASSERT_GT(stops.size(), 12U);
        EXPECT_TRUE(window->sidebar().isAncestorOf(stops.front())) << "the sidebar is read first";
    }
    {
        // The rule form's threshold is one stop, stepped with the arrow keys.
        SCOPED_TRACE("automations, battery below");
        window->change([](WindowState& s) { s.newRuleKind = AutomationRule::Kind::batteryBelow; });
        settle();
        const std::vector<QWidget*> stops = walk(*window, windowColumns());
        auto* threshold = find<Stepper>(*window, newRuleNames::threshold);
        ASSERT_NE(std::ranges::find(stops, threshold), stops.end()) << "Tab reaches the threshold";
        const int before = threshold->value();
        threshold->setFocus(Qt::TabFocusReason);
        QTest::keyClick(threshold, Qt::Key_Up);
        settle();
        EXPECT_EQ(state().newRuleThreshold, before + NewRuleCard::thresholdStep);
        QTest::keyClick(threshold, Qt::Key_Down);
        settle();
        EXPECT_EQ(state().newRuleThreshold, before);
    }
    {
        SCOPED_TRACE("recipe");
        window->openRecipe(model->catalog().recipes()[3]);
        walk(*window, windowColumns());
    }
    {
        SCOPED_TRACE("search");
        type(QStringLiteral("dock"));
        walk(*window, windowColumns());
    }
}

TEST_F(TabWalk, AtTheRoomierSizeEveryPageAndBothSheetsAreWalkedAsAtTheDesignSize) {
    static constexpr QSize kRoomier{1280, 800};
    WindowTest::openFull();
    window->resize(kRoomier);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    for (const char* item : {"home", "favorites", "browse", "active", "automations"}) {
        SCOPED_TRACE(item);
        clickRow(item);
        EXPECT_GT(walk(*window, windowColumns()).size(), 12U);
    }
    window->openRecipe(model->catalog().recipes()[3]);
    walk(*window, windowColumns());
    const auto one = [](const QWidget&) { return 0; };
    window->change([](WindowState& s) { s.showOnboarding = true; });
    settle();
    auto* onboarding = qobject_cast<OnboardingDialog*>(window->presentedSheet());
    ASSERT_NE(onboarding, nullptr);
    for (int step = 0; step < OnboardingDialog::steps; ++step) {
        SCOPED_TRACE("onboarding step " + std::to_string(step));
        walk(*onboarding, one);
        if (step + 1 < OnboardingDialog::steps) {
            onboarding->primaryButton()->click();
            settle();
        }
    }
    onboarding->primaryButton()->click();
    settle();
    ASSERT_EQ(window->presentedSheet(), nullptr);
    window->change([&](WindowState& s) { s.openEditor(model->setups().front()); });
    settle();
    auto* editor = qobject_cast<SceneEditorDialog*>(window->presentedSheet());
    ASSERT_NE(editor, nullptr);
    SCOPED_TRACE("scene editor");
    walk(*editor, one);
}

TEST_F(TabWalk, WhenTheFocusedControlGoesTheKeyboardGoesOnFromWhereItStood) {
    openFull();
    changeModel([&] {
        for (const char* id : {"finder-show-path-bar", "finder-show-status-bar"}) {
            model->setTweak(*model->catalog().tweak(id), true);
        }
    });
    // Space presses the focused control; the name of what has the focus then, if it is shown.
    const auto press = [](QWidget* control) {
        control->setFocus(Qt::TabFocusReason);
        QTest::keyClick(control, Qt::Key_Space);
        settleLayout();
        QWidget* focused = QApplication::focusWidget();
        return focused != nullptr && focused->isVisible() ? focused->objectName().toStdString()
                                                          : std::string("nothing");
    };
    // A card opens its recipe: the keyboard goes on from the new page's first control, its back
    // button, which leads back to the top of the page it came from.
    clickRow("home");
    const QString first =
        window->router().currentPage()->findChild<RecipeGridCard*>()->objectName();
    EXPECT_EQ(press(find(*window, QStringLiteral("recipeCard.finder-power"))), "backButton");
    EXPECT_EQ(press(find(*window, QStringLiteral("backButton"))), first.toStdString());

    // A switch turned off on the On-now page takes its row away: the next row's switch has the
    // focus; with the last row gone, the control before it.
    clickRow("active");
    EXPECT_EQ(press(find(*window, rowNames::toggle("finder-show-path-bar"))),
              rowNames::toggle("finder-show-status-bar").toStdString());
    EXPECT_EQ(press(find(*window, rowNames::toggle("finder-show-status-bar"))),
              "pill.developer-setup");

    // A favourite's star taken back on the Favorites page: the card that took its place.
    clickRow("favorites");
    QList<RecipeGridCard*> cards = page<Page>()->findChildren<RecipeGridCard*>();
    std::ranges::sort(cards, {}, [](const RecipeGridCard* card) { return card->x(); });
    ASSERT_EQ(cards.size(), 2);
    const std::string second = cards[1]->recipe().id;
    EXPECT_EQ(press(find(*window, QStringLiteral("star.") + cards[0]->recipe().id.c_str())),
              "star." + second);
}

TEST_F(TabWalk, TheFocusStaysInASheetAndReturnAndSpaceDoWhatTheySay) {
    openFull();
    window->change([](WindowState& s) { s.showOnboarding = true; });
    settle();
    auto* onboarding = qobject_cast<OnboardingDialog*>(window->presentedSheet());
    ASSERT_NE(onboarding, nullptr);
    const auto one = [](const QWidget&) { return 0; };
    const std::vector<QWidget*> stops = walk(*onboarding, one);
    // The six fields of work and Skip and Continue.
    EXPECT_GE(stops.size(), 8U);
    for (QWidget* stop : stops) {
        EXPECT_TRUE(onboarding->isAncestorOf(stop)) << "Tab never leaves the sheet";
    }
    // Space toggles the focused tile; Return presses Continue.
    auto* tile = find<QAbstractButton>(*onboarding, onboardingNames::field("developer"));
    tile->setFocus(Qt::TabFocusReason);
    const bool wasOn = tile->isChecked();
    QTest::keyClick(tile, Qt::Key_Space);
    EXPECT_NE(tile->isChecked(), wasOn);
    QTest::keyClick(tile, Qt::Key_Return);
    EXPECT_EQ(onboarding->step(), 1);
    // The tile went with its step: the keyboard goes on from the first tile of the next.
    EXPECT_EQ(QApplication::focusWidget(), find(*onboarding, onboardingNames::goal("speed")));
    onboarding->primaryButton()->click();
    onboarding->primaryButton()->click();
    settle();
    ASSERT_EQ(window->presentedSheet(), nullptr);

    // The editor opens with the name field focused, so typing names the scene at once.
    window->change([](WindowState& s) { s.openEditor(std::nullopt); });
    settle();
    auto* editor = qobject_cast<SceneEditorDialog*>(window->presentedSheet());
    ASSERT_NE(editor, nullptr);
    auto* name = find<QLineEdit>(*editor, editorNames::name);
    EXPECT_EQ(QApplication::focusWidget(), name);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Desk"));
    EXPECT_EQ(name->text(), QStringLiteral("Desk"));
    click(find(*editor, editorNames::disclosure));
    settle();
    walk(*editor, one);
    // A click on the dimmed window behind reaches nothing there.
    const NavItem shown = state().selection;
    QWidget* browse = find(*window, navNames::row("browse"));
    const QPoint at = browse->mapTo(window.get(), browse->rect().center());
    auto* overlay = qobject_cast<SheetOverlay*>(window->childAt(at));
    ASSERT_NE(overlay, nullptr) << "the sheet's layer lies over the window";
    QTest::mouseClick(overlay, Qt::LeftButton, {}, overlay->mapFrom(window.get(), at));
    settle();
    EXPECT_EQ(state().selection, shown);
    EXPECT_EQ(window->presentedSheet(), editor);
}

TEST_F(TabWalk, AControlTabbedToAtAListsEdgeIsScrolledInWithItsWholeRing) {
    openFull();
    window->change([](WindowState& s) { s.openEditor(std::nullopt); });
    settle();
    auto* editor = qobject_cast<SceneEditorDialog*>(window->presentedSheet());
    ASSERT_NE(editor, nullptr);
    click(find(*editor, editorNames::disclosure));
    settle();
    // "Select all" is a plain text button: its ring lies around it, outside the button.
    QWidget* selectAll = find(*editor, pickerNames::selectAll);
    QScrollArea* area = nullptr;
    for (QWidget* up = selectAll->parentWidget(); up != nullptr && area == nullptr;
         up = up->parentWidget()) {
        area = qobject_cast<QScrollArea*>(up);
    }
    ASSERT_NE(area, nullptr);
    const auto onScreen = [&] {
        return QRect(selectAll->mapTo(area->viewport(), QPoint(0, 0)), selectAll->size());
    };
    const auto ringed = [&] {
        return onScreen().adjusted(-focus::ringRoom, -focus::ringRoom, focus::ringRoom,
                                   focus::ringRoom);
    };
    const std::vector<QWidget*> order = readingOrder::chain(*editor);
    const auto at = std::find(order.begin(), order.end(), selectAll);
    ASSERT_TRUE(at != order.end() && std::next(at) != order.end());

    // Scrolled so that it stands just inside the list's top edge, then reached with Backtab
    // from the control below it.
    area->verticalScrollBar()->setValue(selectAll->mapTo(area->widget(), QPoint(0, 0)).y() - 1);
    ASSERT_TRUE(area->viewport()->rect().contains(onScreen()));
    ASSERT_FALSE(area->viewport()->rect().contains(ringed()));
    (*std::next(at))->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_EQ(QApplication::focusWidget(), selectAll);
    EXPECT_TRUE(area->viewport()->rect().contains(ringed()))
        << "the ring is not cut by the list's top edge";
}

TEST_F(TabWalk, TheBackButtonAtTheTopEdgeOfARecipesPageShowsItsWholeRing) {
    openFull();
    window->openRecipe(model->catalog().recipes()[3]);
    settleLayout();
    QWidget* back = find(*window, QStringLiteral("backButton"));
    // The page starts right at the scrolled content's top edge, under the top bar.
    ASSERT_LT(back->mapTo(window->router().viewport(), QPoint(0, 0)).y(), focus::ringRoom);
    const QImage unfocused = seen(*back);
    back->setFocus(Qt::TabFocusReason);
    settle();
    const QImage focused = seen(*back);
    const int room = qRound(focus::ringRoom * focused.devicePixelRatio());
    const int width = focused.width();
    const int height = focused.height();
    const std::map<std::string, QRect> sides = {{"top", QRect(0, 0, width, room)},
                                                {"bottom", QRect(0, height - room, width, room)},
                                                {"left", QRect(0, 0, room, height)},
                                                {"right", QRect(width - room, 0, room, height)}};
    for (const auto& [side, strip] : sides) {
        EXPECT_NE(focused.copy(strip), unfocused.copy(strip)) << "no ring on the " << side;
    }
}

TEST_F(TabWalk, ThePopoverIsWalkedFromItsFirstRowAndEscapeClosesIt) {
    openFull();
    Popover popover;
    popover.configure([this] { return std::make_unique<MenuBarView>(*model); });
    popover.showBelow(QRect(QPoint(0, 0), QSize(1, 1)));
    ASSERT_TRUE(QTest::qWaitForWindowActive(&popover));
    // The list scrolls on its own, so it is read whole before the footer below it.
    const QWidget* list = find(popover, QString::fromLatin1(menuNames::list));
    const std::vector<QWidget*> stops = walk(
        popover, [list](const QWidget& widget) { return list->isAncestorOf(&widget) ? 0 : 1; });
    ASSERT_FALSE(stops.empty());
    EXPECT_EQ(stops.front()->objectName().toStdString().rfind("menu.row.", 0), 0U)
        << nameOf(stops.front());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(popover.isVisible());
}

}  // namespace
}  // namespace velmora::testing
