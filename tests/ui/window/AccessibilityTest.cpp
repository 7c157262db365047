// The window, its sheets and the popover as a screen reader reads them: on every page, every text
// shown is reachable as a name, description or value and read once, and every control has a role,
// a name and its state; the sidebar's page is read as the selected tab and a menu pill as opening
// a menu.
#include "tests/ui/AccessibleWalk.hpp"
#include "tests/ui/window/WindowTest.hpp"
#include "ui/components/RecipeGridCard.hpp"
#include "ui/components/StarButton.hpp"
#include "ui/components/SwitchRow.hpp"
#include "ui/popover/MenuBarView.hpp"
#include "ui/sheets/OnboardingDialog.hpp"
#include "ui/sheets/SceneEditorDialog.hpp"
#include "ui/sheets/ScenePicker.hpp"
#include "ui/widgets/MenuPill.hpp"
#include "ui/widgets/TextLabel.hpp"
#include "ui/window/SettingCards.hpp"

namespace velmora::testing {
namespace {

using ::testing::IsEmpty;

class Accessibility : public WindowTest {
  protected:
    static constexpr QPoint kAwayFromEverything{-100, -100};

    void openFull() { WindowTest::openFull(FavoritePower::on); }

    // The whole reading of `root` is sound.
    static void expectReadable(QWidget& root, const std::string& where) {
        settleLayout();
        const AccessibleWalk walk(root);
        EXPECT_GT(walk.size(), 5U) << where;
        EXPECT_THAT(walk.unreadTexts(), IsEmpty()) << where;
        EXPECT_THAT(walk.incompleteControls(), IsEmpty()) << where;
        EXPECT_THAT(walk.repeatedTexts(), IsEmpty()) << where;
        EXPECT_THAT(walk.textsReadBesideTheirControl(), IsEmpty()) << where;
        EXPECT_THAT(walk.emptyParts(), IsEmpty()) << where;
    }
};

TEST_F(Accessibility, EveryPageReadsWhatItShowsAndEveryControlSaysWhatItIs) {
    openFull();
    changeModel([&] {
        model->addRule({"R1", AutomationRule::Kind::onPower, "S1", true, 20, 9, 30, {}, {}});
    });
    for (const char* item : {"home", "favorites", "browse", "active", "automations"}) {
        clickRow(item);
        expectReadable(*window, item);
        // The page on screen is the sidebar's selected tab, and only it; the page reads as a
        // part named as its tab, and a heading it shows is one a reader can jump to.
        const AccessibleWalk walk(*window);
        Page* shown = window->router().currentPage();
        ASSERT_NE(walk.reached(shown), nullptr) << item;
        EXPECT_EQ(walk.reached(shown)->text(QAccessible::Name),
                  find<NavRow>(*window, navNames::row(item))->accessibleName());
        EXPECT_EQ(walk.withRole(*shown, QAccessible::Heading).empty(),
                  std::string_view(item) == "favorites")
            << item;
        for (NavRow* navRow : window->findChildren<NavRow*>()) {
            QAccessibleInterface* face = walk.reached(navRow);
            ASSERT_NE(face, nullptr) << navRow->objectName().toStdString();
            EXPECT_EQ(face->role(), QAccessible::PageTab);
            EXPECT_EQ(face->state().selected, navRow->objectName() == navNames::row(item))
                << item << " " << navRow->objectName().toStdString();
        }
    }
    // The new-rule form with each kind's own control: threshold, time, application.
    for (const AutomationRule::Kind kind :
         {AutomationRule::Kind::batteryBelow, AutomationRule::Kind::atTime,
          AutomationRule::Kind::appLaunched}) {
        window->change([kind](WindowState& s) { s.newRuleKind = kind; });
        settle();
        expectReadable(*window, "automations form " + std::string(label(kind)));
    }
    window->openRecipe(model->catalog().recipes()[3]);
    expectReadable(*window, "recipe");
    EXPECT_FALSE(AccessibleWalk(*window)
                     .withRole(*window->router().currentPage(), QAccessible::Heading)
                     .empty());
    type(QStringLiteral("dock"));
    expectReadable(*window, "search");
}

TEST_F(Accessibility, ARecipeCardReadsItsPowerUpCountAndTheSceneMenuSaysItOpensAMenu) {
    openFull();
    clickRow("home");
    settleLayout();
    const AccessibleWalk walk(*window);
    const Recipe& recipe = model->catalog().recipes()[3];
    auto* card = find<RecipeGridCard>(
        *window, QStringLiteral("recipeCard.") + QString::fromStdString(recipe.id));
    ASSERT_NE(card, nullptr);
    ASSERT_TRUE(walk.spoken(card).has_value());
    EXPECT_TRUE(
        walk.spoken(card)->contains(QStringLiteral("%1 power-ups").arg(recipe.items.size())))
        << walk.spoken(card)->toStdString();
    // The applied pill's word under the pointer is read too.
    hover(find(*window, QStringLiteral("pill.") + QString::fromStdString(recipe.id)));
    EXPECT_THAT(AccessibleWalk(*card).unreadTexts(), IsEmpty());
    // The pointer leaves, so no later window opens under it.
    QTest::mouseMove(window.get(), kAwayFromEverything);
    settle();

    clickRow("automations");
    settleLayout();
    const AccessibleWalk automations(*window);
    const QList<MenuPill*> pills = window->findChildren<MenuPill*>();
    ASSERT_FALSE(pills.isEmpty());
    for (MenuPill* pill : pills) {
        if (QAccessibleInterface* face = automations.reached(pill)) {
            EXPECT_TRUE(face->state().hasPopup) << pill->objectName().toStdString();
        }
    }
}

// Its description names what it pins: a page holds a star on every row, each read alike.
TEST_F(Accessibility, AStarReadsItsTipOnceNamesItsItemAndAToolsPressFlipsWhatItSays) {
    openFull();
    clickRow("browse");
    settleLayout();
    auto* star = find(*window, rowNames::star("screenshot-disable-shadow"));
    QAccessibleInterface* face = AccessibleWalk(*window).reached(star);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::Button);
    EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("Pin to Favorites"));
    EXPECT_EQ(face->text(QAccessible::Description),
              QStringLiteral("Remove screenshot drop shadow"));
    ASSERT_NE(face->actionInterface(), nullptr);
    face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    settle();
    EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("Unpin from Favorites"));
    EXPECT_EQ(model->favoriteTweakIDs().count("screenshot-disable-shadow"), 1U);
    // The recipe cards' stars too, and the power setting's whose title the switch reads.
    const QList<RecipeGridCard*> cards = window->findChildren<RecipeGridCard*>();
    ASSERT_FALSE(cards.isEmpty());
    for (const RecipeGridCard* card : cards) {
        EXPECT_EQ(card->findChild<StarButton*>()->accessibleDescription(), card->accessibleName());
    }
    const PowerCard power(*model);
    EXPECT_EQ(power.findChild<StarButton*>()->accessibleDescription(),
              QStringLiteral("Keep awake with the lid closed"));
}

TEST_F(Accessibility, BothSheetsReadWhatTheyShowAtEveryStep) {
    putData(
        AppModel::Keys::setups,
        R"([{"id":"S1","name":"Desk","icon":"display","tweakIDs":["screenshot-disable-shadow"],)"
        R"("powerToggleIDs":[],"sliderValues":{},"lidClose":false}])");
    open(Catalog::velmora(), designSize, MainWindow::defaultSheets());
    auto* onboarding = qobject_cast<OnboardingDialog*>(window->presentedSheet());
    ASSERT_NE(onboarding, nullptr);
    for (int step = 0; step < OnboardingDialog::steps; ++step) {
        expectReadable(*onboarding, "onboarding step " + std::to_string(step));
        click(find(*onboarding, onboardingNames::next));
        settle();
    }
    ASSERT_EQ(window->presentedSheet(), nullptr);

    window->change([&](WindowState& s) { s.openEditor(model->setups().front()); });
    settle();
    auto* editor = qobject_cast<SceneEditorDialog*>(window->presentedSheet());
    ASSERT_NE(editor, nullptr);
    expectReadable(*editor, "scene editor");
    // The count in the header and the one beside the disclosure are read.
    const AccessibleWalk walk(*editor);
    EXPECT_TRUE(
        walk.spoken(find(*editor, editorNames::disclosure))->contains(QStringLiteral("1 selected")))
        << walk.spoken(find(*editor, editorNames::disclosure))->toStdString();
}

TEST_F(Accessibility, WhileASheetIsUpTheWindowBehindItIsOutOfReadingAndReachUntilItGoes) {
    openFull();
    clickRow("home");
    settleLayout();
    QWidget* row = find(*window, navNames::row("browse"));
    const std::vector<QWidget*> behind = {row, searchField(), window->findChild<RecipeGridCard*>()};
    {
        // Read once before the sheet, so the tools' interfaces are the ones kept from then.
        const AccessibleWalk walk(*window);
        for (QWidget* part : behind) {
            ASSERT_NE(walk.reached(part), nullptr) << part->objectName().toStdString();
        }
    }
    window->change([&](WindowState& s) { s.openEditor(model->setups().front()); });
    settle();
    QDialog* editor = window->presentedSheet();
    ASSERT_NE(editor, nullptr);
    const auto expectOutOfReach = [&](const std::string& when) {
        settleLayout();
        const AccessibleWalk walk(*window);
        for (QWidget* part : behind) {
            EXPECT_EQ(walk.reached(part), nullptr)
                << part->objectName().toStdString() << " is read behind the sheet " << when;
        }
        EXPECT_NE(walk.reached(find(*editor, editorNames::name)), nullptr) << when;
        // Pointing at the row behind finds the sheet's layer, never the row.
        const QPoint at = row->mapToGlobal(row->rect().center());
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(window.get());
        while ((face = face->childAt(at.x(), at.y())) != nullptr) {
            auto* pointed = qobject_cast<QWidget*>(face->object());
            EXPECT_FALSE(pointed == row || (pointed != nullptr && pointed->isAncestorOf(row)))
                << when;
        }
    };
    expectOutOfReach("when it comes");
    // The content behind follows the model as ever (a recipe applied from the popover).
    changeModel([&] { model->apply(model->catalog().recipes()[0]); });
    expectOutOfReach("after a change behind it");

    click(find(*editor, editorNames::cancel));
    settle();
    ASSERT_EQ(window->presentedSheet(), nullptr);
    settleLayout();
    const AccessibleWalk walk(*window);
    for (QWidget* part : behind) {
        EXPECT_NE(walk.reached(part), nullptr)
            << part->objectName().toStdString() << " is out of reach after the sheet";
    }
}

TEST_F(Accessibility, ASliderReadsTheValueItShowsAndAToolSettingItWritesIt) {
    openFull();
    clickRow("browse");
    settleLayout();
    const QString dockSize = QStringLiteral("slider-dock-size");  // 16 to 128 by 4, at 48
    auto* slider = find(*window, rowNames::slider(dockSize.toStdString()));
    auto* shown = find<TextLabel>(*window, rowNames::value(dockSize.toStdString()));
    ASSERT_NE(shown, nullptr);
    QAccessibleInterface* face = AccessibleWalk(*window).reached(slider);
    ASSERT_NE(face, nullptr);
    ASSERT_NE(face->valueInterface(), nullptr);
    EXPECT_EQ(face->text(QAccessible::Value), QStringLiteral("48px"));
    EXPECT_EQ(face->text(QAccessible::Value), shown->text());
    EXPECT_EQ(face->valueInterface()->currentValue().toDouble(), 48.0);
    EXPECT_EQ(face->valueInterface()->minimumValue().toDouble(), 16.0);
    EXPECT_EQ(face->valueInterface()->maximumValue().toDouble(), 128.0);
    EXPECT_EQ(face->valueInterface()->minimumStepSize().toDouble(), 4.0);

    // A tool moving it is a user moving it: the value is written and shown.
    face->valueInterface()->setCurrentValue(64.0);
    settle();
    EXPECT_EQ(face->text(QAccessible::Value), QStringLiteral("64px"));
    EXPECT_EQ(shown->text(), QStringLiteral("64px"));
    EXPECT_EQ(model->sliderValue(Catalog::sliderTweaks().front()), 64.0);

    // The scene editor's sliders read theirs too.
    window->change([&](WindowState& s) { s.openEditor(model->setups().front()); });
    settle();
    QDialog* editor = window->presentedSheet();
    ASSERT_NE(editor, nullptr);
    click(find(*editor, pickerNames::include(dockSize.toStdString())));
    settleLayout();
    QAccessibleInterface* picked =
        AccessibleWalk(*editor).reached(find(*editor, pickerNames::slider(dockSize.toStdString())));
    ASSERT_NE(picked, nullptr);
    EXPECT_EQ(picked->text(QAccessible::Value),
              find<TextLabel>(*editor, pickerNames::value(dockSize.toStdString()))->text());
}

TEST_F(Accessibility, ThePopoverReadsWhatItShows) {
    completeOnboarding(R"(["developer"])", R"(["speed"])");
    open(Catalog::velmora());
    changeModel([&] {
        model->setFavoriteRecipeIDs({"developer-setup"});
        model->setFavoriteTweakIDs({"dev-show-hidden-files"});
        model->apply(model->catalog().recipes()[0]);
    });
    MenuBarView view(*model);
    showOnPaper(view, QSize(MenuBarView::panelWidth, 440));
    expectReadable(view, "popover");
}

}  // namespace
}  // namespace velmora::testing
