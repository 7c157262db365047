// The automation monitor: every trigger through a fake event source with fake power, battery and
// clock, the timer's wiring, and one launch of a real bundle seen by the machine's own sources.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include "tests/platform/BundleFixture.hpp"
#include "tests/support/ScopedEnv.hpp"
#include "tests/ui/model/ModelFakes.hpp"

namespace velmora::testing {
namespace {

using Kind = AutomationRule::Kind;
using std::chrono::seconds;

// Screens, wake and launches raised by the test itself.
class FakeEvents : public AutomationEvents {
  public:
    int screens = 1;
    int screenCount() const override { return screens; }
};

Catalog monitorCatalog() {
    return Catalog({tweak("t-a"), tweak("t-b")}, {});
}

Setup scene(const std::string& id, std::vector<std::string> tweakIDs) {
    return Setup{id, "Scene " + id, "moon.fill", std::move(tweakIDs), {}, {}, false};
}

AutomationRule rule(const std::string& id, Kind kind, const std::string& setupID,
                    std::int64_t threshold = 0) {
    return {id, kind, setupID, true, threshold, 0, 0, "", ""};
}
AutomationRule timeRule(const std::string& id, int hour, int minute, const std::string& setupID) {
    return {id, Kind::atTime, setupID, true, 0, hour, minute, "", ""};
}

// Scene "A" switches t-a on, "B" switches t-b on, each the other off. Every scene switch refreshes
// the model once, so the revision counts them.
class AutomationTest : public ModelTest {
  protected:
    FakeEvents* events = nullptr;
    std::unique_ptr<AppModel> model = make(monitorCatalog());

    void SetUp() override {
        auto fake = std::make_unique<FakeEvents>();
        events = fake.get();
        model->setAutomationEvents(std::move(fake));
        model->upsertSetup(scene("A", {"t-a"}));
        model->upsertSetup(scene("B", {"t-b"}));
    }

    void addRules(std::initializer_list<AutomationRule> rules) {
        for (const AutomationRule& r : rules) {
            model->addRule(r);
        }
    }

    // Runs `work`, lets queued work run, and gives the scenes switched to meanwhile, in order:
    // "A", "B", or "-" for a state neither scene leaves. Each switch ends in one refresh, which
    // raises the revision; the state seen during that refresh is the scene's.
    template <class Work>
    std::string switchesDuring(Work&& work) {
        backend->values.clear();
        const std::int64_t before = model->revision();
        std::map<std::int64_t, std::string> stateAt;
        const auto watch = QObject::connect(model.get(), &AppModel::objectWillChange, [&] {
            const bool a = backend->at(keyOf("t-a")).has_value();
            const bool b = backend->at(keyOf("t-b")).has_value();
            stateAt[model->revision()] = a && !b ? "A" : b && !a ? "B" : "-";
        });
        work();
        QCoreApplication::processEvents();
        QObject::disconnect(watch);
        std::string switched;
        for (std::int64_t revision = before; revision < model->revision(); ++revision) {
            switched += stateAt[revision];
        }
        return switched;
    }
    std::string tick() {
        return switchesDuring([this] { model->automationTick(); });
    }
    std::string wake() {
        return switchesDuring([this] { emit events->woke(); });
    }
};

TEST_F(AutomationTest, EventsQueueTheirWorkOnlyAfterAStartAndASecondStartReplacesTheFirst) {
    addRules({rule("W", Kind::onWake, "A")});
    EXPECT_EQ(wake(), "") << "nothing fires before the start";
    model->startAutomationMonitor();
    QTimer* first = model->automationTimer;
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->interval(), 20000);
    EXPECT_FALSE(first->isSingleShot());
    EXPECT_TRUE(first->isActive());

    const std::int64_t before = model->revision();
    emit events->woke();
    EXPECT_EQ(model->revision(), before) << "the event must not switch scenes inside the signal";
    QCoreApplication::processEvents();
    EXPECT_EQ(model->revision(), before + 1);

    model->startAutomationMonitor();
    EXPECT_EQ(model->findChildren<QTimer*>().size(), 1) << "the first timer is gone";
    EXPECT_EQ(wake(), "A") << "once, not once per start";
}

TEST_F(AutomationTest, TheTimersFiringRunsATick) {
    addRules({rule("U", Kind::onBattery, "A")});
    model->startAutomationMonitor();
    mac.onBattery = true;
    model->automationTimer->setInterval(0);
    QDeadlineTimer deadline(2000);
    while (!model->onBattery() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    EXPECT_TRUE(model->onBattery());
    EXPECT_TRUE(backend->at(keyOf("t-a")).has_value());
}

TEST_F(AutomationTest, PowerSourceChangesFireOnceAndReversionsBetweenTicksFireNothing) {
    addRules({rule("U", Kind::onBattery, "A"), rule("P", Kind::onPower, "B")});
    mac.onBattery = true;  // before the start: the baseline, not a change
    model->startAutomationMonitor();
    EXPECT_EQ(tick(), "");
    mac.onBattery = false;
    EXPECT_EQ(tick(), "B");
    EXPECT_FALSE(model->onBattery());
    EXPECT_EQ(tick(), "");
    mac.onBattery = true;
    EXPECT_EQ(tick(), "A");
    EXPECT_EQ(tick(), "");
    // Plugged in and out again between two ticks: nothing was seen.
    mac.onBattery = false;
    mac.onBattery = true;
    EXPECT_EQ(tick(), "");
}

TEST_F(AutomationTest, BatteryFiresOnEachCrossingDownwards) {
    addRules({rule("L", Kind::batteryBelow, "A", 20)});
    mac.percent = 21;
    model->startAutomationMonitor();
    const std::pair<std::optional<int>, const char*> readings[] = {
        {19, "A"}, {19, ""}, {21, ""}, {std::nullopt, ""},  // an unreadable tick keeps 21
        {19, "A"}, {20, ""}};                               // at the threshold is not below it
    for (const auto& [reading, fired] : readings) {
        mac.percent = reading;
        EXPECT_EQ(tick(), fired) << mac.percent.value_or(-1);
    }
}

TEST_F(AutomationTest, TheFirstReadingFiresEveryThresholdAboveItAndEachRuleJudgesItsOwn) {
    addRules({rule("L50", Kind::batteryBelow, "A", 50), rule("L20", Kind::batteryBelow, "B", 20),
              rule("L10", Kind::batteryBelow, "A", 10)});
    model->startAutomationMonitor();  // without a reading
    EXPECT_EQ(model->lastBatteryPercent, std::nullopt);
    mac.percent = 30;
    EXPECT_EQ(tick(), "A");
    EXPECT_EQ(tick(), "");
    mac.percent = 5;
    EXPECT_EQ(tick(), "BA") << "one reading crossing two thresholds, in list order";
}

TEST_F(AutomationTest, ATimeRuleFiresOnceInsideItsWindowWithADayKeyWithoutLeadingZeros) {
    addRules(
        {timeRule("T", 9, 0, "A"), timeRule("Bad", 24, 0, "B"), timeRule("Worse", 9, 60, "B")});
    model->startAutomationMonitor();
    now = localTime(2026, 2, 4, 8, 59) + seconds(59);
    EXPECT_EQ(tick(), "");
    now = localTime(2026, 2, 4, 9, 0);
    EXPECT_EQ(tick(), "A");
    EXPECT_EQ(model->firedTimeRules.at("T"), "2026-2-4");
    now += seconds(20);
    EXPECT_EQ(tick(), "") << "once a day";
    // The window's last moment on the next day, and the first moment past it the day after.
    now = localTime(2026, 2, 5, 9, 1) + seconds(59) + std::chrono::milliseconds(999);
    EXPECT_EQ(tick(), "A");
    now = localTime(2026, 2, 6, 9, 2);
    EXPECT_EQ(tick(), "");
    now = localTime(2026, 12, 15, 9, 1);
    EXPECT_EQ(tick(), "A");
    EXPECT_EQ(model->firedTimeRules.at("T"), "2026-12-15");
    for (int hour : {0, 10}) {  // where 24:00 and 9:60 would fall if taken as valid
        now = localTime(2026, 12, 16, hour, 1);
        EXPECT_EQ(tick(), "");
    }
}

TEST_F(AutomationTest, LateAndMidnightRulesBelongToTheirOwnDay) {
    addRules({timeRule("Late", 23, 59, "A"), timeRule("Midnight", 0, 0, "B")});
    model->startAutomationMonitor();
    now = localTime(2026, 3, 1, 23, 59) + seconds(30);
    EXPECT_EQ(tick(), "A");
    // Past midnight the late rule's target is the new day's 23:59, which lies ahead.
    now = localTime(2026, 3, 2, 0, 0) + seconds(10);
    EXPECT_EQ(tick(), "B");
    EXPECT_EQ(model->firedTimeRules.at("Midnight"), "2026-3-2");
    now = localTime(2026, 3, 2, 0, 1) + seconds(50);
    EXPECT_EQ(tick(), "");
    // A missed window is not made up: the late rule's next chance is tonight.
    now = localTime(2026, 3, 3, 0, 0) + seconds(30);
    EXPECT_EQ(tick(), "B");
}

TEST_F(AutomationTest, DisplaysConnectedAndDisconnectedOncePerNotification) {
    addRules({rule("C", Kind::displayConnected, "A"), rule("D", Kind::displayDisconnected, "B")});
    model->startAutomationMonitor();
    const auto screens = [&](int count) {
        return switchesDuring([&] {
            events->screens = count;
            emit events->screensChanged();
        });
    };
    EXPECT_EQ(screens(3), "A");
    EXPECT_EQ(screens(3), "") << "a resolution change";
    EXPECT_EQ(screens(1), "B");
    // The count is taken when the queued work runs, not when the signal came.
    EXPECT_EQ(switchesDuring([&] {
                  events->screens = 2;
                  emit events->screensChanged();
                  events->screens = 1;
              }),
              "");
}

TEST_F(AutomationTest, ALaunchFiresOnlyTheRulesOfItsBundle) {
    AutomationRule mail = rule("M", Kind::appLaunched, "A");
    mail.appBundleID = "com.x.mail";
    addRules({mail, rule("E", Kind::appLaunched, "B")});  // E: no application chosen
    model->startAutomationMonitor();
    for (const char* other : {"com.x.notes", ""}) {
        EXPECT_EQ(switchesDuring([&] { emit events->applicationLaunched(other); }), "") << other;
    }
    EXPECT_EQ(switchesDuring([&] { emit events->applicationLaunched("com.x.mail"); }), "A");
}

TEST_F(AutomationTest, DisabledRulesNeverFireAndCountFromTheNextEventOnceEnabled) {
    AutomationRule wake = rule("W", Kind::onWake, "A");
    wake.enabled = false;
    addRules({wake});
    model->startAutomationMonitor();
    EXPECT_EQ(this->wake(), "");
    EXPECT_EQ(switchesDuring([&] {
                  emit events->woke();
                  model->toggleRule(wake);  // before the queued work runs
              }),
              "A");
    model->toggleRule(wake);
    EXPECT_EQ(this->wake(), "");
}

TEST_F(AutomationTest, SeveralRulesApplyInListOrderSkippingOneWhoseSceneWasDeleted) {
    model->upsertSetup(scene("C", {"t-a"}));
    addRules({rule("First", Kind::onWake, "A"), rule("Gone", Kind::onWake, "C"),
              rule("Second", Kind::onWake, "B")});
    model->deleteSetup(scene("C", {}));
    model->startAutomationMonitor();
    EXPECT_EQ(wake(), "AB");
    EXPECT_EQ(model->lastError(), std::nullopt);

    // The three checks of a tick in their order: power source, battery, time.
    addRules({rule("U", Kind::onBattery, "A"), rule("L", Kind::batteryBelow, "A", 20),
              timeRule("T", 7, 0, "B")});
    mac.percent = 50;
    model->startAutomationMonitor();
    mac.onBattery = true;
    mac.percent = 10;
    now = localTime(2026, 2, 4, 7, 0);
    EXPECT_EQ(tick(), "AAB");
}

TEST_F(AutomationTest, PendingWorkOfAModelThatIsGoneIsDropped) {
    addRules({rule("W", Kind::onWake, "A")});
    model->startAutomationMonitor();
    emit events->woke();
    model.reset();
    QCoreApplication::processEvents();
    EXPECT_FALSE(backend->at(keyOf("t-a")).has_value());
}

// The machine's own event sources and folders: bundles in a temporary system root, one started
// for real.
TEST_F(ModelTest, InstalledAppsAndARealLaunchOfABundle) {
    TempSystemRoot system;
    TempSystemRoot::makeBundle(system.systemApplications(), "notes", "com.x.notes");
    const auto bundle = TempSystemRoot::makeBundle(system.applications(), "Sleepy", "com.x.sleepy");
    auto model = make(monitorCatalog());
    {
        const ScopedEnv root("VELMORA_SYSTEM_ROOT", system.root().string());
        EXPECT_EQ(
            AppModel::installedApps(),
            (std::vector<InstalledApp>{{"notes", "com.x.notes"}, {"Sleepy", "com.x.sleepy"}}));
        model->upsertSetup(scene("A", {"t-a"}));
        AutomationRule launch = rule("S", Kind::appLaunched, "A");
        launch.appBundleID = "com.x.sleepy";
        model->addRule(launch);
        model->startAutomationMonitor();
    }
    RunningProgram app(TempSystemRoot::executable(bundle, "Sleepy"));
    QDeadlineTimer deadline(4000);
    while (!backend->at(keyOf("t-a")) && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    EXPECT_TRUE(backend->at(keyOf("t-a")).has_value()) << "the launch rule switched to its scene";
}

}  // namespace
}  // namespace velmora::testing
