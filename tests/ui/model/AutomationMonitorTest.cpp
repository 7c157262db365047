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

class FakeEvents : public AutomationEvents {
  public:
    int screens = 1;
    std::vector<LaunchWatching> launchWatches;  // as asked, in order
    int screenCount() const override { return screens; }
    void watchLaunches(LaunchWatching watching) override { launchWatches.push_back(watching); }
    bool watching() const {
        return !launchWatches.empty() && launchWatches.back() == LaunchWatching::on;
    }
};

// Scenes tell themselves apart by the one slider each writes: "A" the Dock size, "B" the mouse.
Setup scene(const std::string& id, const std::string& slider) {
    return Setup{id, "Scene " + id, "moon.fill", {}, {}, {{slider, 40}}, false};
}
const std::string sceneA = "write tilesize", sceneB = "write com.apple.mouse.scaling";

AutomationRule rule(const std::string& id, Kind kind, const std::string& setupID,
                    std::int64_t threshold = 0, int hour = 0, int minute = 0) {
    return {id, kind, setupID, true, threshold, hour, minute, "", ""};
}

bool waitFor(const std::function<bool()>& done, int ms) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return done();
}

class AutomationTest : public ModelTest {
  protected:
    FakeEvents* events = nullptr;
    std::unique_ptr<AppModel> model = make(Catalog({}, {}));

    void SetUp() override {
        auto fake = std::make_unique<FakeEvents>();
        events = fake.get();
        model->setAutomationEvents(std::move(fake));
        model->upsertSetup(scene("A", "slider-dock-size"));
        model->upsertSetup(scene("B", "slider-mouse-tracking"));
    }
    void start(std::initializer_list<AutomationRule> rules) {
        for (const AutomationRule& r : rules) {
            model->addRule(r);
        }
        model->startAutomationMonitor();
    }

    // Runs `work`, lets queued work run, and gives the scenes switched to meanwhile, in order.
    template <class Work>
    std::string switchesDuring(Work&& work) {
        journal.clear();
        work();
        QCoreApplication::processEvents();
        std::string switched;
        for (const std::string& entry : journal) {
            switched += entry == sceneA ? "A" : entry == sceneB ? "B" : "";
        }
        return switched;
    }
    std::string tick() {
        return switchesDuring([this] { model->automationTick(); });
    }
};

// Looking for launches costs a pass over the process table every second: only while an enabled
// rule needs them.
TEST_F(AutomationTest, LaunchesAreWatchedOnlyWhileAnEnabledLaunchRuleNeedsThem) {
    start({rule("W", Kind::onWake, "A")});
    EXPECT_FALSE(events->watching());
    AutomationRule launch = rule("L", Kind::appLaunched, "A");
    launch.enabled = false;
    model->addRule(launch);
    EXPECT_FALSE(events->watching()) << "a disabled launch rule";
    model->toggleRule(launch);
    EXPECT_TRUE(events->watching());
    model->toggleRule(launch);
    EXPECT_FALSE(events->watching());
    model->toggleRule(launch);
    model->deleteRule(launch);
    EXPECT_FALSE(events->watching());
}

TEST_F(AutomationTest, EventsQueueTheirWorkAndASecondStartReplacesTheTimerAndConnections) {
    model->addRule(rule("W", Kind::onWake, "A"));
    model->addRule(rule("U", Kind::onBattery, "B"));
    EXPECT_EQ(switchesDuring([&] { emit events->woke(); }), "") << "nothing fires before the start";
    model->startAutomationMonitor();
    EXPECT_EQ(switchesDuring([&] {
                  emit events->woke();
                  EXPECT_TRUE(journal.empty()) << "no scene switch inside the signal";
              }),
              "A");

    model->startAutomationMonitor();
    EXPECT_EQ(model->findChildren<QTimer*>().size(), 1) << "the first timer is gone";
    EXPECT_EQ(model->automationTimer->interval(), 20000);
    EXPECT_FALSE(model->automationTimer->isSingleShot());
    EXPECT_EQ(switchesDuring([&] { emit events->woke(); }), "A") << "once, not once per start";
    mac.onBattery = true;
    model->automationTimer->setInterval(0);
    EXPECT_TRUE(waitFor([&] { return std::ranges::count(journal, sceneB) == 1; }, 2000));
}

TEST_F(AutomationTest, PowerSourceChangesFireOnceAndReversionsBetweenTicksFireNothing) {
    mac.onBattery = true;  // before the start: the baseline, not a change
    start({rule("U", Kind::onBattery, "A"), rule("P", Kind::onPower, "B")});
    for (const auto& [battery, fired] :
         {std::pair{true, ""}, {false, "B"}, {false, ""}, {true, "A"}, {true, ""}}) {
        mac.onBattery = battery;  // the last row: plugged in and out again between two ticks
        EXPECT_EQ(tick(), fired) << battery;
    }
}

TEST_F(AutomationTest, BatteryFiresOnEachCrossingDownwardsAndTheFirstReadingAfterAStart) {
    mac.percent = 21;
    start({rule("L", Kind::batteryBelow, "A", 20)});
    const std::pair<std::optional<int>, const char*> readings[] = {
        {19, "A"}, {19, ""}, {21, ""}, {std::nullopt, ""},  // an unreadable tick keeps 21
        {19, "A"}, {20, ""},                                // at the threshold is not below it
        {19, "A"}};                                         // and from it, dropping fires
    for (const auto& [reading, fired] : readings) {
        mac.percent = reading;
        EXPECT_EQ(tick(), fired) << mac.percent.value_or(-1);
    }
    // Without a reading at the start, the first one fires every threshold above it.
    mac.percent = std::nullopt;
    start({rule("L50", Kind::batteryBelow, "B", 50), rule("L10", Kind::batteryBelow, "A", 10)});
    mac.percent = 15;
    EXPECT_EQ(tick(), "AB") << "in list order";
    mac.percent = 5;
    EXPECT_EQ(tick(), "A");
}

TEST_F(AutomationTest, ATimeRuleFiresOnceInsideItsWindowWithADayKeyWithoutLeadingZeros) {
    start({rule("T", Kind::atTime, "A", 0, 9, 0), rule("Bad", Kind::atTime, "B", 0, 24, 0),
           rule("Late", Kind::atTime, "A", 0, 23, 59), rule("Midnight", Kind::atTime, "B")});
    const auto at = [](int month, int day, int hour, int minute, int ms = 0) {
        return localTime(2026, month, day, hour, minute) + std::chrono::milliseconds(ms);
    };
    // The window's last moment on the next day and the first moment past it the day after; past
    // midnight the late rule's target is the new day's 23:59, which lies ahead; 24:00 is no valid
    // time, so midnight fires "B" and not "BB".
    const std::pair<std::chrono::system_clock::time_point, const char*> ticks[] = {
        {at(2, 4, 8, 59, 59000), ""}, {at(2, 4, 9, 0), "A"},       {at(2, 4, 9, 0, 20000), ""},
        {at(2, 5, 9, 1, 59999), "A"}, {at(2, 6, 9, 2), ""},        {at(3, 1, 23, 59, 30000), "A"},
        {at(3, 2, 0, 0, 10000), "B"}, {at(3, 2, 0, 1, 50000), ""}, {at(3, 3, 0, 0, 30000), "B"},
        {at(12, 15, 9, 1), "A"}};
    for (std::size_t i = 0; i < std::size(ticks); ++i) {
        now = ticks[i].first;
        EXPECT_EQ(tick(), ticks[i].second) << "row " << i;
    }
    EXPECT_EQ(model->firedTimeRules.at("T"), "2026-12-15");
    EXPECT_EQ(model->firedTimeRules.at("Midnight"), "2026-3-3");
}

// Sets the local time zone for one scope, for Qt's and the C library's local time alike.
class ScopedZone {
  public:
    explicit ScopedZone(const char* zone) : env_("TZ", zone) { ::tzset(); }

  private:
    struct Reset {
        ~Reset() { ::tzset(); }
    } reset_;  // destroyed after `env_` has put the old zone back
    ScopedEnv env_;
};

// On the day summer time starts the clocks jump from 02:00 to 03:00: a rule for 02:30 comes when
// they jump, and fires once, at the first tick after the gap.
TEST_F(AutomationTest, ATimeRuleInTheHourTheClocksSkipFiresRightAfterTheJump) {
    const ScopedZone centralEurope("CET-1CEST,M3.5.0,M10.5.0/3");
    start({rule("Gap", Kind::atTime, "A", 0, 2, 30)});
    const auto utc = [](int day, int hour, int minute, int second) {
        return std::chrono::sys_days(std::chrono::year(2026) / 3 / day) + std::chrono::hours(hour) +
               std::chrono::minutes(minute) + std::chrono::seconds(second);
    };
    // 00:59:50 UTC is 01:59:50 winter time, 01:00:10 UTC is 03:00:10 summer time.
    const std::pair<std::chrono::system_clock::time_point, const char*> ticks[] = {
        {utc(29, 0, 59, 50), ""},
        {utc(29, 1, 0, 10), "A"},
        {utc(29, 1, 0, 30), ""},
        {utc(29, 1, 2, 10), ""},
        {utc(30, 0, 30, 0), "A"}};  // 02:30 summer time, the next day
    for (std::size_t i = 0; i < std::size(ticks); ++i) {
        now = ticks[i].first;
        EXPECT_EQ(tick(), ticks[i].second) << "row " << i;
    }
}

// Fired at 05:11, restarted at 05:11:49: the new run must not switch the Mac to the scene again
// at 05:12:09, silently undoing what the user changed since. The rules are stored as before.
TEST_F(AutomationTest, ATimeRuleThatFiredDoesNotFireAgainAfterARestartInsideItsWindow) {
    start({rule("T", Kind::atTime, "A", 0, 5, 11), rule("Other", Kind::atTime, "B", 0, 5, 11)});
    model->toggleRule(rule("Other", Kind::atTime, "B"));  // disabled: it has not fired
    const std::string storedRules = storedData(AppModel::Keys::rules);
    now = localTime(2026, 12, 7, 5, 11) + std::chrono::seconds(5);
    EXPECT_EQ(tick(), "A");
    EXPECT_EQ(storedData(AppModel::Keys::rules), storedRules);

    const auto restart = [&] {
        model = make(Catalog({}, {}));
        model->setAutomationEvents(std::make_unique<FakeEvents>());
        model->startAutomationMonitor();
    };
    restart();
    now = localTime(2026, 12, 7, 5, 12) + std::chrono::seconds(9);
    EXPECT_EQ(tick(), "") << "fired already today";
    model->toggleRule(rule("Other", Kind::atTime, "B"));
    EXPECT_EQ(tick(), "B") << "each rule on its own";
    restart();
    now = localTime(2026, 12, 8, 5, 11) + std::chrono::seconds(30);
    EXPECT_EQ(tick(), "AB") << "the next day both fire again";
    restart();
    EXPECT_EQ(tick(), "");

    // A damaged record of fired rules is kept aside, not trusted and not lost.
    putData(AppModel::Keys::firedTimeRules, "[[");
    ::testing::internal::CaptureStderr();
    restart();
    EXPECT_THAT(::testing::internal::GetCapturedStderr(),
                ::testing::HasSubstr(R"("velmora_fired_time_rules" could not be read)"));
    EXPECT_EQ(tick(), "AB");
    EXPECT_EQ(storedData("velmora_fired_time_rules.unreadable"), "[[");
    restart();
    EXPECT_EQ(tick(), "");
}

TEST_F(AutomationTest, DisplaysConnectedAndDisconnectedOncePerNotification) {
    start({rule("C", Kind::displayConnected, "A"), rule("D", Kind::displayDisconnected, "B")});
    // The count is taken when the queued work runs, not when the signal came (the last row); the
    // second row is a resolution change.
    for (const auto& [count, later, fired] :
         {std::tuple{3, 3, "A"}, {3, 3, ""}, {1, 1, "B"}, {2, 1, ""}}) {
        EXPECT_EQ(switchesDuring([&, count = count, later = later] {
                      events->screens = count;
                      emit events->screensChanged();
                      events->screens = later;
                  }),
                  fired)
            << count;
    }
}

TEST_F(AutomationTest, LaunchesDisabledRulesAndDeletedScenes) {
    AutomationRule mail = rule("M", Kind::appLaunched, "A");
    mail.appBundleID = "com.x.mail";
    AutomationRule wake = rule("W", Kind::onWake, "A");
    wake.enabled = false;
    model->upsertSetup(scene("C", "slider-dock-size"));
    start({mail, rule("E", Kind::appLaunched, "B"), wake, rule("Gone", Kind::onWake, "C"),
           rule("Second", Kind::onWake, "B")});
    model->deleteSetup(scene("C", ""));
    EXPECT_EQ(switchesDuring([&] { emit events->applicationLaunched("com.x.notes"); }), "");
    EXPECT_EQ(switchesDuring([&] { emit events->applicationLaunched(""); }), "")
        << "E: none chosen";
    EXPECT_EQ(switchesDuring([&] { emit events->applicationLaunched("com.x.mail"); }), "A");
    EXPECT_EQ(switchesDuring([&] { emit events->woke(); }), "B");
    EXPECT_EQ(model->lastError(), std::nullopt);
    EXPECT_EQ(switchesDuring([&] {
                  emit events->woke();
                  model->toggleRule(wake);  // before the queued work runs
              }),
              "AB");
}

TEST_F(AutomationTest, TheThreeChecksOfATickRunInOrderAndAGoneModelDropsPendingWork) {
    mac.percent = 50;
    start({rule("T", Kind::atTime, "B", 0, 7, 0), rule("L", Kind::batteryBelow, "A", 20),
           rule("U", Kind::onBattery, "B"), rule("W", Kind::onWake, "A")});
    mac.onBattery = true;
    mac.percent = 10;
    EXPECT_EQ(tick(), "BAB") << "power source, battery, time";
    emit events->woke();
    journal.clear();
    model.reset();
    QCoreApplication::processEvents();
    EXPECT_TRUE(journal.empty());
}

TEST_F(ModelTest, InstalledAppsAndARealLaunchOfABundle) {
    TempSystemRoot system;
    TempSystemRoot::makeBundle(system.systemApplications(), "notes", "com.x.notes");
    const auto bundle = TempSystemRoot::makeBundle(system.applications(), "Sleepy", "com.x.sleepy");
    auto model = make(Catalog({}, {}));
    {
        const ScopedEnv root("VELMORA_SYSTEM_ROOT", system.root().string());
        EXPECT_EQ(
            AppModel::installedApps(),
            (std::vector<InstalledApp>{{"notes", "com.x.notes"}, {"Sleepy", "com.x.sleepy"}}));
        model->upsertSetup(scene("A", "slider-dock-size"));
        AutomationRule launch = rule("S", Kind::appLaunched, "A");
        launch.appBundleID = "com.x.sleepy";
        model->addRule(launch);
        model->startAutomationMonitor();
    }
    RunningProgram app(TempSystemRoot::executable(bundle, "Sleepy"));
    EXPECT_TRUE(waitFor([&] { return std::ranges::count(journal, sceneA) == 1; }, 4000));
}

}  // namespace
}  // namespace velmora::testing
