// The live event sources: screen signals, logind's sleep signal on a private message bus, and a
// bundle started for real.
#include "platform/qt/SystemAutomationEvents.hpp"

#include <QDBusMessage>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include "tests/platform/BundleFixture.hpp"

namespace velmora {
namespace {

using testing::TempSystemRoot;

constexpr int signalWaitMs = 3000;
constexpr int quietWaitMs = 200;

QDBusConnection noBus() {
    return QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/velmora-bus"),
                                         QStringLiteral("velmora-no-bus"));
}

TEST(SystemAutomationEventsTest, CountsQtsScreensAndReportsEveryScreenSignalWithoutABus) {
    SystemAutomationEvents events(noBus(), {});
    EXPECT_EQ(events.screenCount(), QGuiApplication::screens().size());
    QScreen* screen = QGuiApplication::primaryScreen();
    QSignalSpy changes(&events, &AutomationEvents::screensChanged);
    emit screen->geometryChanged(QRect(0, 0, 2560, 1440));
    EXPECT_EQ(changes.count(), 1);
    emit qGuiApp->screenAdded(screen);  // watched too, but never twice
    emit screen->geometryChanged(QRect(0, 0, 1280, 800));
    emit qGuiApp->screenRemoved(screen);
    EXPECT_EQ(changes.count(), 4);
}

TEST(SystemAutomationEventsTest, WakesWhenLogindSaysSleepIsOver) {
    // A message bus of our own stands in for the system bus; QProcess ends it with the test.
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    QProcess bus;
    bus.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                       QStringLiteral("--print-address=1")});
    if (daemon.isEmpty() || !bus.waitForReadyRead(signalWaitMs)) {
        GTEST_SKIP() << "dbus-daemon is not available";
    }
    const QString address = QString::fromUtf8(bus.readLine()).trimmed();
    const auto connection = [&](const char* name) {
        return QDBusConnection::connectToBus(address, QString::fromLatin1(name));
    };
    ASSERT_TRUE(connection("logind").registerService(QStringLiteral("org.freedesktop.login1")));
    const auto prepareForSleep = [&](const char* from, bool goingToSleep) {
        QDBusMessage signal = QDBusMessage::createSignal(
            QStringLiteral("/org/freedesktop/login1"),
            QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"));
        signal << goingToSleep;
        return connection(from).send(signal);
    };
    SystemAutomationEvents events(connection("listener"), {});
    QSignalSpy wakes(&events, &AutomationEvents::woke);
    ASSERT_TRUE(prepareForSleep("logind", true));
    EXPECT_FALSE(wakes.wait(quietWaitMs));
    ASSERT_TRUE(prepareForSleep("impostor", false));
    EXPECT_FALSE(wakes.wait(quietWaitMs));
    ASSERT_TRUE(prepareForSleep("logind", false));
    EXPECT_TRUE(wakes.wait(signalWaitMs));
    EXPECT_EQ(wakes.count(), 1);
    bus.kill();
    bus.waitForFinished();
}

TEST(SystemAutomationEventsTest, ReportsABundleStartedForRealWithItsIdentifier) {
    TempSystemRoot system;
    const auto bundle = TempSystemRoot::makeBundle(system.applications(), "Sleepy", "com.x.sleepy");
    const auto other =
        TempSystemRoot::makeBundle(system.systemApplications(), "Blank", std::nullopt);
    SystemAutomationEvents events(noBus(), system.folders());
    QSignalSpy launches(&events, &AutomationEvents::applicationLaunched);
    testing::RunningProgram blank(TempSystemRoot::executable(other, "Blank"));
    testing::RunningProgram app(TempSystemRoot::executable(bundle, "Sleepy"));
    ASSERT_TRUE(launches.wait(signalWaitMs));
    ASSERT_EQ(launches.count(), 1);
    EXPECT_EQ(launches.at(0).at(0).toString(), QStringLiteral("com.x.sleepy"));
}

}  // namespace
}  // namespace velmora
