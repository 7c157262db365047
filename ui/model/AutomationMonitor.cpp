// The automation monitor: a repeating timer and the screen, wake and launch events, which switch
// to a rule's scene when its trigger happens.
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdint>

#include <nlohmann/json.hpp>

#include "kit/JsonWrite.hpp"
#include "kit/StoredJson.hpp"
#include "platform/qt/SystemAutomationEvents.hpp"
#include "ui/model/AppModel.hpp"
#include "ui/model/ErrorText.hpp"

namespace velmora {

namespace {

using Kind = AutomationRule::Kind;

QDateTime localDateTime(std::chrono::system_clock::time_point when) {
    const auto sinceEpoch =
        std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch());
    return QDateTime::fromMSecsSinceEpoch(sinceEpoch.count());
}

// "2026-12-5": plain numbers, no leading zeros.
std::string dayKey(QDate day) {
    return std::to_string(day.year()) + "-" + std::to_string(day.month()) + "-" +
           std::to_string(day.day());
}

// The first moment of `day` whose local time is `time` or later: where the clocks skip `time`
// (02:30 on the day summer time starts), the moment they jump past it.
QDateTime firstMomentFrom(QDate day, QTime time) {
    const QDateTime start = day.startOfDay();
    const auto reached = [&](qint64 ms) {
        const QDateTime local = QDateTime::fromMSecsSinceEpoch(ms);
        return local.date() > day || local.time() >= time;
    };
    qint64 before = start.toMSecsSinceEpoch();
    if (reached(before)) {
        return start;  // the day itself starts after the skipped time
    }
    qint64 after = day.endOfDay().toMSecsSinceEpoch() + 1;
    while (after - before > 1) {
        const qint64 middle = before + (after - before) / 2;
        (reached(middle) ? after : before) = middle;
    }
    return QDateTime::fromMSecsSinceEpoch(after);
}

// Today's date at the rule's hour and minute, seconds zero; invalid when the rule holds no time
// of day (stored rules are not checked). A time the clocks skip today comes when they jump past
// it, so that the rule still fires that day.
QDateTime targetOf(const AutomationRule& rule, QDate today) {
    constexpr std::int64_t lastHour = 23;
    constexpr std::int64_t lastMinute = 59;
    if (rule.hour < 0 || rule.hour > lastHour || rule.minute < 0 || rule.minute > lastMinute) {
        return {};
    }
    const QTime time(static_cast<int>(rule.hour), static_cast<int>(rule.minute));
    const QDateTime target(today, time);
    return target.isValid() ? target : firstMomentFrom(today, time);
}

}  // namespace

Decoded<std::map<std::string, std::string>> AppModel::decodeFiredTimeRules(
    const std::string& bytes) {
    using Result = Decoded<std::map<std::string, std::string>>;
    const Decoded<nlohmann::json> parsed = json::parseStored(bytes, "fired time rules");
    if (!parsed) {
        return Result::failure(parsed.error());
    }
    if (!parsed.value().is_object()) {
        return Result::failure("fired time rules: not a JSON object");
    }
    std::map<std::string, std::string> fired;
    for (const auto& [id, day] : parsed.value().items()) {
        if (!day.is_string()) {
            return Result::failure("fired time rules: the day of \"" + id + "\" is not a text");
        }
        fired.emplace(id, day.get<std::string>());
    }
    return Result::success(std::move(fired));
}

void AppModel::persistFiredTimeRules(const std::string& todayKey) {
    nlohmann::json today = nlohmann::json::object();
    for (const AutomationRule& rule : rules_) {
        const auto fired = firedTimeRules.find(rule.id);
        if (fired != firedTimeRules.end() && fired->second == todayKey) {
            today[rule.id] = todayKey;
        }
    }
    // A failure is in `lastError` until the scene switch reports; the rule still fires once in
    // this run.
    writeStored(Keys::firedTimeRules, [&] { return json::text(today, "fired time rules"); });
}

// Another instance running beside this one sees the same rules; only one of them may fire each.
void AppModel::catchUpFiredTimeRules(const std::string& todayKey) {
    std::optional<std::string> bytes;
    if (attempt([&] { bytes = store_->data(Keys::firedTimeRules); }) || !bytes) {
        return;
    }
    const Decoded<std::map<std::string, std::string>> stored = decodeFiredTimeRules(*bytes);
    if (!stored) {
        return;
    }
    for (const auto& [id, day] : stored.value()) {
        if (day == todayKey) {
            firedTimeRules[id] = day;
        }
    }
}

void AppModel::setAutomationEvents(std::unique_ptr<AutomationEvents> events) {
    for (const QMetaObject::Connection& connection : automationConnections_) {
        disconnect(connection);
    }
    automationConnections_.clear();
    automationEvents_ = std::move(events);
}

void AppModel::startAutomationMonitor(BatteryBaseline battery) {
    if (!automationEvents_) {
        automationEvents_ = std::make_unique<SystemAutomationEvents>();
    }
    if (battery == BatteryBaseline::takenNow) {
        takeBatteryBaseline();
    }
    lastScreenCount = automationEvents_->screenCount();

    // Queued, so that each piece of work runs after whatever the main thread is doing and a tick
    // never runs inside another; a model that is gone receives nothing.
    delete automationTimer;
    automationTimer = new QTimer(this);
    automationTimer->setInterval(automationInterval);
    connect(automationTimer, &QTimer::timeout, this, &AppModel::automationTick,
            Qt::QueuedConnection);
    automationTimer->start();

    for (const QMetaObject::Connection& connection : automationConnections_) {
        disconnect(connection);
    }
    automationConnections_ = {
        connect(automationEvents_.get(), &AutomationEvents::screensChanged, this,
                &AppModel::handleScreenChange, Qt::QueuedConnection),
        connect(automationEvents_.get(), &AutomationEvents::woke, this, &AppModel::handleWake,
                Qt::QueuedConnection),
        connect(
            automationEvents_.get(), &AutomationEvents::applicationLaunched, this,
            [this](const QString& bundleID) { handleApplicationLaunch(bundleID.toStdString()); },
            Qt::QueuedConnection),
    };
    followLaunchRules();
}

void AppModel::takeBatteryBaseline() {
    lastOnBattery = power_.batteryReader();
    lastBatteryPercent = batteryPercent();
}

void AppModel::followLaunchRules() {
    if (automationEvents_ && automationTimer != nullptr) {
        automationEvents_->watchLaunches(
            activeRules(Kind::appLaunched).empty() ? LaunchWatching::off : LaunchWatching::on);
    }
}

void AppModel::automationTick() {
    // Power source: only a change since the last look fires.
    const bool nowOnBattery = power_.batteryReader();
    if (lastOnBattery && *lastOnBattery != nowOnBattery) {
        setOnBattery(nowOnBattery);
        applyRules(activeRules(nowOnBattery ? Kind::onBattery : Kind::onPower));
    }
    lastOnBattery = nowOnBattery;

    // Battery level: a rule fires when the level has just crossed its threshold downwards.
    if (const std::optional<int> percent = batteryPercent()) {
        const std::optional<int> last = lastBatteryPercent;
        for (const AutomationRule& rule : activeRules(Kind::batteryBelow)) {
            if (*percent < rule.threshold && (!last || *last >= rule.threshold)) {
                applyRule(rule);
            }
        }
        lastBatteryPercent = percent;
    }

    // Time of day: once a day, on a tick inside the window after the rule's minute begins.
    const QDateTime now = localDateTime(clock_());
    const QDate today = now.date();
    const std::string todayKey = dayKey(today);
    const auto windowMs = std::chrono::milliseconds(timeRuleWindow).count();
    for (const AutomationRule& rule : activeRules(Kind::atTime)) {
        const QDateTime target = targetOf(rule, today);
        if (!target.isValid()) {
            continue;
        }
        const qint64 sinceTarget = target.msecsTo(now);
        if (sinceTarget < 0 || sinceTarget >= windowMs) {
            continue;
        }
        const auto firedToday = [&] {
            const auto fired = firedTimeRules.find(rule.id);
            return fired != firedTimeRules.end() && fired->second == todayKey;
        };
        if (!firedToday()) {
            catchUpFiredTimeRules(todayKey);
        }
        if (firedToday()) {
            continue;
        }
        // Stored before the switch: a restart inside the window, even one during the switch,
        // must not switch the Mac to the scene again and undo what the user changed since.
        firedTimeRules[rule.id] = todayKey;
        persistFiredTimeRules(todayKey);
        applyRule(rule);
    }
}

void AppModel::handleScreenChange() {
    const int count = automationEvents_ ? automationEvents_->screenCount() : 0;
    if (lastScreenCount) {
        if (count > *lastScreenCount) {
            applyRules(activeRules(Kind::displayConnected));
        } else if (count < *lastScreenCount) {
            applyRules(activeRules(Kind::displayDisconnected));
        }
    }
    lastScreenCount = count;
}

void AppModel::handleApplicationLaunch(const std::string& bundleID) {
    if (bundleID.empty()) {
        return;
    }
    std::vector<AutomationRule> matching = activeRules(Kind::appLaunched);
    std::erase_if(matching,
                  [&](const AutomationRule& rule) { return rule.appBundleID != bundleID; });
    applyRules(matching);
}

void AppModel::handleWake() {
    applyRules(activeRules(Kind::onWake));
}

std::optional<int> AppModel::batteryPercent() const {
    return power_.percentReader ? power_.percentReader() : std::nullopt;
}

std::vector<InstalledApp> AppModel::installedApps() {
    return ApplicationBundles::installed();
}

std::vector<AutomationRule> AppModel::activeRules(Kind kind) const {
    std::vector<AutomationRule> active;
    std::copy_if(rules_.begin(), rules_.end(), std::back_inserter(active),
                 [kind](const AutomationRule& rule) { return rule.enabled && rule.kind == kind; });
    return active;
}

// A rule whose scene has been deleted does nothing.
void AppModel::applyRule(const AutomationRule& rule) {
    const auto scene = std::find_if(setups_.begin(), setups_.end(),
                                    [&](const Setup& setup) { return setup.id == rule.setupID; });
    if (scene != setups_.end()) {
        const Setup chosen = *scene;
        applySetup(chosen);
    }
}

void AppModel::applyRules(const std::vector<AutomationRule>& rules) {
    for (const AutomationRule& rule : rules) {
        applyRule(rule);
    }
}

}  // namespace velmora
