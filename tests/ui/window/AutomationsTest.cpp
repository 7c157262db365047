// The Automations page as a user meets it: what shows with and without scenes, the new-rule form
// driven through its menus, stepper and time field, the rows it adds, their switch and trash, the
// form's scene once the chosen scene is deleted, the structure kept across the monitor's tick,
// one rule firing through the monitor, and pictures of the page.
#include <QMenu>

#include "tests/ui/WidgetCount.hpp"
#include "tests/ui/window/WindowTest.hpp"
#include "ui/look/Theme.hpp"
#include "ui/widgets/LabelButton.hpp"
#include "ui/widgets/MenuPill.hpp"
#include "ui/widgets/Stepper.hpp"
#include "ui/widgets/Switch.hpp"
#include "ui/widgets/Text.hpp"
#include "ui/widgets/TextButton.hpp"
#include "ui/widgets/TextLabel.hpp"
#include "ui/widgets/TimeField.hpp"
#include "ui/window/AutomationsPage.hpp"
#include "ui/window/ListCard.hpp"
#include "ui/window/NewRuleCard.hpp"
#include "ui/window/RuleRow.hpp"

namespace velmora::testing {
namespace {

using Kind = AutomationRule::Kind;

velmora::Setup scene(const std::string& id, const std::string& name,
                     std::vector<std::string> tweakIDs = {}) {
    return {id, name, "briefcase.fill", std::move(tweakIDs), {}, {}, false};
}

AutomationRule rule(const std::string& id, Kind kind, const std::string& setupID) {
    return {id, kind, setupID, true, 20, 9, 30, "com.x.rd", "R&D Tool"};
}

// The monitor's screens, wake and launches, none of which these tests send.
class QuietEvents : public AutomationEvents {
  public:
    int screenCount() const override { return 1; }
};

class Automations : public WindowTest {
  protected:
    std::vector<InstalledApp> installed{{"Notes", "com.x.notes"}, {"R&D Tool", "com.x.rd"}};
    int scans = 0;

    // The window on the Automations page, over `scenes` and `rules`, with fake applications.
    void openPage(const std::vector<velmora::Setup>& scenes,
                  const std::vector<AutomationRule>& rules = {}) {
        open();
        window->setAppLister([this] {
            ++scans;
            return installed;
        });
        changeModel([&] {
            for (const velmora::Setup& setup : scenes) {
                model->upsertSetup(setup);
            }
            for (const AutomationRule& stored : rules) {
                model->addRule(stored);
            }
        });
        clickRow("automations");
    }

    AutomationsPage& page() const {
        return *static_cast<AutomationsPage*>(window->router().page(PageKind::automations));
    }

    // What the user reads in `root`, in order: texts as they are, [menus and fields], (buttons).
    static std::string reads(const QWidget& root) {
        std::string shown;
        for (QWidget* widget : root.findChildren<QWidget*>()) {
            if (!widget->isVisibleTo(&root)) {
                continue;
            }
            QString part;
            if (auto* label = qobject_cast<TextLabel*>(widget)) {
                part = label->text();
            } else if (auto* pill = qobject_cast<MenuPill*>(widget)) {
                part = QLatin1Char('[') + pill->labelText() + QLatin1Char(']');
            } else if (auto* field = qobject_cast<TimeField*>(widget)) {
                part = QLatin1Char('[') + field->text() + QLatin1Char(']');
            } else if (auto* button = qobject_cast<TextButton*>(widget)) {
                part = QLatin1Char('(') + button->label() + QLatin1Char(')');
            } else {
                continue;
            }
            shown += shown.empty() ? "" : " ";
            shown += part.toStdString();
        }
        return shown;
    }
    std::string form() const { return reads(*find(*window, newRuleNames::form)); }

    // Opens the menu of `pill` with a click and clicks its item showing `text`.
    void choose(const char* pillName, const QString& text) {
        auto* pill = find<MenuPill>(*window, QString::fromLatin1(pillName));
        ASSERT_NE(pill, nullptr);
        click(pill);
        QMenu& menu = pill->menu();
        ASSERT_TRUE(menu.isVisible());
        QAction* item = nullptr;
        for (QAction* action : menu.actions()) {
            item = action->text() == mnemonicSafe(text) ? action : item;
        }
        ASSERT_NE(item, nullptr) << text.toStdString();
        QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(item).center());
        settle();
    }
    static std::vector<QString> itemsOf(const MenuPill& pill) {
        std::vector<QString> texts;
        for (const QAction* action : pill.menu().actions()) {
            texts.push_back(action->text());
        }
        return texts;
    }

    void press(const QString& name) {
        click(find(*window, name));
        settle();
    }
    void add() { press(QString::fromLatin1(newRuleNames::add)); }
    void stepDown(int times) {
        for (int i = 0; i < times; ++i) {
            click(&find<Stepper>(*window, newRuleNames::threshold)->downButton());
        }
        settle();
    }
    TextButton& addButton() const { return *find<TextButton>(*window, newRuleNames::add); }

    std::vector<RuleRow*> rows() const {
        std::vector<RuleRow*> shown;
        for (QWidget* row : page().rules().rows()) {
            shown.push_back(static_cast<RuleRow*>(row));
        }
        return shown;
    }
    static std::string rowReads(const RuleRow& row) {
        return row.sentence().text().toStdString() + " / " + row.target().text().toStdString() +
               (row.toggle().isOn() ? " on" : " off");
    }
};

TEST_F(Automations, WithoutScenesOnlyTheEmptyStateFollowsEvenWithStoredRules) {
    openPage({}, {rule("R1", Kind::onWake, "gone")});
    EXPECT_EQ(shownPage(), "page.automations");
    EXPECT_EQ(reads(page()),
              "Automations Switch to a scene automatically when your power source changes \u2014 "
              "Velmora watches in the background. Save a scene first Automations switch to a "
              "saved scene. Create one under \u201CScenes\u201D (the + in the sidebar), then come "
              "back.");

    // A scene saved elsewhere brings the rules and the form.
    changeModel([&] { model->upsertSetup(scene("S1", "Desk")); });
    EXPECT_FALSE(findShownOrHidden(page(), automationsNames::empty)->isVisible());
    ASSERT_EQ(rows().size(), 1U);
    EXPECT_EQ(rowReads(*rows()[0]),
              "When my Mac wakes up / Switch to \u201Cdeleted scene\u201D on");
    // Without rules there is no rule card, only the form.
    changeModel([&] { model->deleteRule(model->rules().front()); });
    EXPECT_FALSE(page().rules().isVisible());
    EXPECT_TRUE(find(page(), newRuleNames::form)->isVisible());
}

TEST_F(Automations, TheThresholdStepsDownToFiveAndAddedRowsKeepTheForm) {
    openPage({scene("S1", "Desk")});
    EXPECT_EQ(form(), "NEW AUTOMATION When [On battery] switch to [Desk] (Add automation)");
    EXPECT_TRUE(addButton().isEnabled());
    EXPECT_EQ(addButton().shownFill(), Theme::accent());
    auto* kinds = find<MenuPill>(*window, newRuleNames::kind);
    std::vector<QString> labels;
    for (const Kind kind : allCases<Kind>()) {
        labels.push_back(mnemonicSafe(toQString(label(kind))));
    }
    EXPECT_EQ(itemsOf(*kinds), labels);

    choose(newRuleNames::kind, QStringLiteral("Battery below\u2026"));
    EXPECT_EQ(form(),
              "NEW AUTOMATION When [Battery below\u2026] 20% switch to [Desk] (Add automation)");
    stepDown(3);
    EXPECT_EQ(find<Stepper>(*window, newRuleNames::threshold)->value(), 5);
    stepDown(1);
    EXPECT_EQ(form(),
              "NEW AUTOMATION When [Battery below\u2026] 5% switch to [Desk] (Add automation)");

    add();
    ASSERT_EQ(rows().size(), 1U);
    EXPECT_EQ(rowReads(*rows()[0]), "When battery drops below 5% / Switch to \u201CDesk\u201D on");
    EXPECT_EQ(page().rules().dividerCount(), 0);
    add();
    ASSERT_EQ(rows().size(), 2U);
    EXPECT_EQ(page().rules().dividerCount(), 1);
    EXPECT_EQ(rowReads(*rows()[1]), rowReads(*rows()[0]));
    EXPECT_EQ(form(),
              "NEW AUTOMATION When [Battery below\u2026] 5% switch to [Desk] (Add automation)");
    const std::vector<AutomationRule>& stored = model->rules();
    EXPECT_NE(stored[0].id, stored[1].id);
    AutomationRule second = stored[1];
    second.id = stored[0].id;
    EXPECT_EQ(second, stored[0]) << "equal but for the id";
    EXPECT_EQ(stored[0].threshold, 5);
    EXPECT_EQ(stored[0].setupID, "S1");
    EXPECT_EQ(storedData(AppModel::Keys::rules), AutomationRule::encodeList(stored));
    // The divider starts under the text, past the tile.
    EXPECT_EQ(page().rules().dividers().front().left(), 66);
}

TEST_F(Automations, TheSwitchFlipsTheStoredRuleInPlaceAndTrashRemovesItsRowAtOnce) {
    openPage({scene("S1", "Desk")},
             {rule("R1", Kind::onPower, "S1"), rule("R2", Kind::onWake, "S1")});
    ASSERT_EQ(rows().size(), 2U);
    RuleRow* first = rows()[0];
    // The model changed since the row was drawn: the click flips what the model holds now.
    changeModel([&] { model->toggleRule(model->rules()[0]); });
    EXPECT_EQ(rowReads(*first), "When I plug in / Switch to \u201CDesk\u201D off");
    {
        const test::WidgetCount count;
        press(ruleNames::toggle("R1"));
        EXPECT_EQ(count.made(), 0) << "the row is updated, not rebuilt";
    }
    EXPECT_TRUE(model->rules()[0].enabled);
    EXPECT_EQ(rows()[0], first);
    EXPECT_EQ(rowReads(*first), "When I plug in / Switch to \u201CDesk\u201D on");
    EXPECT_EQ(accessible(&first->toggle()), "CheckBox 'When I plug in' on");
    EXPECT_EQ(accessible(&first->trash()), "Button 'Delete this automation'");

    press(ruleNames::trash("R1"));
    EXPECT_EQ(window->presentedSheet(), nullptr);
    ASSERT_EQ(rows().size(), 1U);
    EXPECT_EQ(rowReads(*rows()[0]), "When my Mac wakes up / Switch to \u201CDesk\u201D on");
    EXPECT_EQ(page().rules().dividerCount(), 0);
    EXPECT_EQ(storedData(AppModel::Keys::rules), AutomationRule::encodeList(model->rules()));
}

// A scene named with 300 characters: the form's scene menu shows it cut to the card, and every
// row's switch and trash button and the add button stay inside the window.
TEST_F(Automations, ALongSceneNameIsCutInTheFormAndLeavesEveryControlInTheWindow) {
    const std::string longName =
        QStringLiteral("Very long scene name ").repeated(15).toStdString().substr(0, 300);
    openPage({scene("S1", longName), scene("S2", "Desk")},
             {rule("R1", Kind::onPower, "S1"), rule("R2", Kind::onWake, "S2")});
    settleLayout();
    const auto inWindow = [&](const QWidget& control) {
        const QRect shown(control.mapTo(window.get(), QPoint(0, 0)), control.size());
        return window->rect().contains(shown);
    };
    for (const RuleRow* row : rows()) {
        EXPECT_TRUE(inWindow(row->toggle())) << row->objectName().toStdString();
        EXPECT_TRUE(inWindow(row->trash())) << row->objectName().toStdString();
    }
    auto* pill = find<MenuPill>(*window, newRuleNames::scene);
    ASSERT_NE(pill, nullptr);
    EXPECT_EQ(pill->labelText(), QString::fromStdString(longName));
    EXPECT_TRUE(inWindow(*pill));
    EXPECT_LT(pill->width(), pill->sizeHint().width()) << "shown cut, not whole";
    EXPECT_TRUE(inWindow(addButton()));
}

TEST_F(Automations, AnAppRuleWaitsForAnApplicationThatTheKindKeepsAndNamesShowTheirAmpersand) {
    openPage({scene("S1", "R&D"), scene("S2", "<b>Home</b>")});
    choose(newRuleNames::kind, QStringLiteral("An app opens"));
    EXPECT_EQ(form(),
              "NEW AUTOMATION When [An app opens] [Choose app] switch to [R&D] "
              "(Add automation)");
    EXPECT_FALSE(addButton().isEnabled());
    EXPECT_EQ(addButton().shownFill(), Theme::faint());
    add();
    EXPECT_TRUE(model->rules().empty());
    EXPECT_EQ(itemsOf(*find<MenuPill>(*window, newRuleNames::app)),
              (std::vector<QString>{QStringLiteral("Notes"), QStringLiteral("R&&D Tool")}));
    EXPECT_EQ(itemsOf(*find<MenuPill>(*window, newRuleNames::scene)),
              (std::vector<QString>{QStringLiteral("R&&D"), QStringLiteral("<b>Home</b>")}));

    choose(newRuleNames::app, QStringLiteral("R&D Tool"));
    EXPECT_TRUE(addButton().isEnabled());
    choose(newRuleNames::kind, QStringLiteral("Mac wakes"));
    EXPECT_EQ(form(), "NEW AUTOMATION When [Mac wakes] switch to [R&D] (Add automation)");
    choose(newRuleNames::kind, QStringLiteral("An app opens"));
    EXPECT_EQ(form(),
              "NEW AUTOMATION When [An app opens] [R&D Tool] switch to [R&D] "
              "(Add automation)");
    choose(newRuleNames::scene, QStringLiteral("<b>Home</b>"));
    add();
    ASSERT_EQ(rows().size(), 1U);
    EXPECT_EQ(rowReads(*rows()[0]), "When R&D Tool opens / Switch to \u201C<b>Home</b>\u201D on");
    EXPECT_EQ(model->rules()[0].appBundleID, "com.x.rd");
}

TEST_F(Automations, TheFormsSceneFallsBackToTheFirstOnceTheChosenOneIsDeleted) {
    openPage({scene("S1", "Desk"), scene("S2", "Travel")});
    choose(newRuleNames::scene, QStringLiteral("Travel"));
    add();
    EXPECT_EQ(rowReads(*rows()[0]), "When I unplug / Switch to \u201CTravel\u201D on");

    changeModel([&] { model->deleteSetup(model->setups()[1]); });
    EXPECT_EQ(rowReads(*rows()[0]), "When I unplug / Switch to \u201Cdeleted scene\u201D on");
    // The menu names the scene that a new rule will switch to, and the rule does.
    EXPECT_EQ(form(), "NEW AUTOMATION When [On battery] switch to [Desk] (Add automation)");
    add();
    ASSERT_EQ(rows().size(), 2U);
    EXPECT_EQ(model->rules()[1].setupID, "S1");
    EXPECT_EQ(rowReads(*rows()[1]), "When I unplug / Switch to \u201CDesk\u201D on");
}

TEST_F(Automations, TheTimeFieldStartsAtTheWindowsTimeAndTheRuleTakesTheHourAndMinuteTyped) {
    openPage({scene("S1", "Desk")});
    choose(newRuleNames::kind, QStringLiteral("At a time"));
    EXPECT_EQ(form(),
              "NEW AUTOMATION When [At a time] [7:00 AM] switch to [Desk] "
              "(Add automation)");
    auto* field = find<TimeField>(*window, newRuleNames::time);
    // Keys go to the focused field of the active window.
    QApplication::setActiveWindow(window.get());
    click(field);
    QTest::keyClick(field, Qt::Key_Home);
    for (int hour = 7; hour < 11; ++hour) {
        QTest::keyClick(field, Qt::Key_Up);
    }
    QTest::keyClick(field, Qt::Key_Tab);
    QTest::keyClicks(field, QStringLiteral("45"));
    settle();
    EXPECT_EQ(field->text(), QStringLiteral("11:45 AM"));
    add();
    ASSERT_EQ(rows().size(), 1U);
    EXPECT_EQ(rowReads(*rows()[0]), "Every day at 11:45 AM / Switch to \u201CDesk\u201D on");
    EXPECT_EQ(model->rules()[0].hour, 11);
    EXPECT_EQ(model->rules()[0].minute, 45);
    // The form keeps the time across pages.
    clickRow("home");
    clickRow("automations");
    EXPECT_EQ(field->text(), QStringLiteral("11:45 AM"));
}

TEST_F(Automations, AnOpenMenuAndTheRowsOutliveTheTickAndALaterRebuildWaitsForTheMenu) {
    openPage({scene("S1", "Desk")}, {rule("R1", Kind::onPower, "S1")});
    auto* scenes = find<MenuPill>(*window, newRuleNames::scene);
    click(scenes);
    ASSERT_TRUE(scenes->menu().isVisible());
    const std::vector<RuleRow*> before = rows();
    {
        const test::WidgetCount count;
        changeModel([&] { model->refresh(); });
        EXPECT_EQ(count.made(), 0);
    }
    EXPECT_TRUE(scenes->menu().isVisible());
    EXPECT_EQ(rows(), before);

    // A rule and a scene added meanwhile wait for the menu to close.
    changeModel([&] {
        model->addRule(rule("R2", Kind::onWake, "S1"));
        model->upsertSetup(scene("S2", "Travel"));
    });
    EXPECT_EQ(rows(), before);
    EXPECT_EQ(itemsOf(*scenes).size(), 1U);
    scenes->menu().hide();
    settle();
    EXPECT_EQ(rows().size(), 2U);
    EXPECT_EQ(itemsOf(*scenes).size(), 2U);
}

TEST_F(Automations, TheApplicationsAreListedOnAppearingUntilTheListFindsAny) {
    installed.clear();
    openPage({scene("S1", "Desk")});
    EXPECT_EQ(scans, 1);
    clickRow("home");
    installed = {{"Notes", "com.x.notes"}};
    clickRow("automations");
    EXPECT_EQ(scans, 2);
    clickRow("home");
    installed.push_back({"Later", "com.x.later"});
    clickRow("automations");
    EXPECT_EQ(scans, 2) << "applications installed later are not offered";
    choose(newRuleNames::kind, QStringLiteral("An app opens"));
    EXPECT_EQ(itemsOf(*find<MenuPill>(*window, newRuleNames::app)),
              std::vector<QString>{QStringLiteral("Notes")});
}

// No application found: the app menu says so in a greyed item that chooses nothing; once the scan
// finds some, they replace it.
TEST_F(Automations, WithoutApplicationsTheAppMenuSaysSoInAnItemThatChoosesNothing) {
    installed.clear();
    openPage({scene("S1", "Desk")});
    choose(newRuleNames::kind, QStringLiteral("An app opens"));
    auto* apps = find<MenuPill>(*window, newRuleNames::app);
    ASSERT_EQ(apps->menu().actions().size(), 1);
    QAction* none = apps->menu().actions().front();
    EXPECT_EQ(none->text(), QStringLiteral("No applications found"));
    EXPECT_FALSE(none->isEnabled());
    click(apps);
    ASSERT_TRUE(apps->menu().isVisible()) << "the menu opens to say it";
    QTest::mouseClick(&apps->menu(), Qt::LeftButton, {},
                      apps->menu().actionGeometry(none).center());
    settle();
    apps->menu().hide();
    EXPECT_EQ(state().newRuleAppBundle, "");
    EXPECT_EQ(form(),
              "NEW AUTOMATION When [An app opens] [Choose app] switch to [Desk] "
              "(Add automation)");
    EXPECT_FALSE(addButton().isEnabled());

    clickRow("home");
    installed = {{"Notes", "com.x.notes"}};
    clickRow("automations");
    EXPECT_EQ(itemsOf(*apps), std::vector<QString>{QStringLiteral("Notes")});
    EXPECT_TRUE(apps->menu().actions().front()->isEnabled());
}

// From the form to the Mac: the battery falls below the rule's threshold and the scene applies.
TEST_F(Automations, ARuleAddedHereSwitchesToItsSceneWhenTheBatteryFallsBelowItsThreshold) {
    openPage({scene("S1", "Desk", {"t-a"})});
    choose(newRuleNames::kind, QStringLiteral("Battery below\u2026"));
    stepDown(1);
    add();
    model->setAutomationEvents(std::make_unique<QuietEvents>());
    mac.onBattery = true;
    mac.percent = 40;
    model->startAutomationMonitor();
    mac.percent = 16;
    model->automationTick();
    EXPECT_FALSE(model->isEnabled(*model->catalog().tweak("t-a"))) << "16% is not below 15%";
    mac.percent = 14;
    model->automationTick();
    EXPECT_TRUE(model->isEnabled(*model->catalog().tweak("t-a")));
}

TEST_F(Automations, Screenshots) {
    openPage({});
    screenshot(*window, QStringLiteral("automations-no-scenes"));

    changeModel([&] {
        model->upsertSetup(scene("S1", "Desk"));
        model->upsertSetup(scene("S2", "Travel"));
        AutomationRule low = rule("R1", Kind::batteryBelow, "S2");
        AutomationRule morning = rule("R2", Kind::atTime, "S1");
        morning.enabled = false;
        model->addRule(low);
        model->addRule(morning);
        model->addRule(rule("R3", Kind::appLaunched, "gone"));
    });
    choose(newRuleNames::kind, QStringLiteral("Battery below\u2026"));
    screenshot(*window, QStringLiteral("automations-three-rules"));
    choose(newRuleNames::kind, QStringLiteral("At a time"));
    screenshot(*find(*window, newRuleNames::form), QStringLiteral("automations-form-time"));
    auto* kinds = find<MenuPill>(*window, newRuleNames::kind);
    click(kinds);
    screenshot(kinds->menu(), QStringLiteral("automations-kind-menu"));
    kinds->menu().hide();
    // A long scene name is cut, the add button stays in the card.
    const std::string longName =
        "A scene with a very long name that somebody typed in one go without stopping";
    changeModel([&] { model->upsertSetup(scene("S0", longName)); });
    choose(newRuleNames::scene, toQString(longName));
    const QWidget* card = find(*window, newRuleNames::form);
    EXPECT_LE(addButton().mapTo(card, QPoint(addButton().width(), 0)).x(), card->width());
    screenshot(*window, QStringLiteral("automations-long-scene-name"));
}

}  // namespace
}  // namespace velmora::testing
