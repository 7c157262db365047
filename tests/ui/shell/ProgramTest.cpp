// The velmora program as a process: a second start, a missing bundle and a missing display.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

namespace velmora {
namespace {

constexpr int kStartTimeoutMs = 10000;

// A velmora, offscreen, with its own simulated Mac and the instance folder under `runtimeDir`;
// killed at the end.
class Program {
  public:
    Program(const QString& executable, const QString& runtimeDir) : runtimeDir_(runtimeDir) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
        env.insert(QStringLiteral("VELMORA_HOME_ROOT"), roots_.filePath(QStringLiteral("home")));
        env.insert(QStringLiteral("VELMORA_SYSTEM_ROOT"),
                   roots_.filePath(QStringLiteral("system")));
        process.setProcessEnvironment(env);
        process.setProgram(executable);
    }
    ~Program() {
        process.kill();
        process.waitForFinished();
    }
    // Started and past its launch sequence: it listens for a second start only after it.
    bool startAndWaitForLaunch() {
        process.start();
        const QString socket = runtimeDir_ + QStringLiteral("/velmora/instance.sock");
        return process.waitForStarted() &&
               QTest::qWaitFor([&] { return QFileInfo::exists(socket) || !running(); },
                               kStartTimeoutMs) &&
               running();
    }
    bool running() const { return process.state() == QProcess::Running; }
    // The program's own lines on standard error, without the platform plugin's notices.
    std::string errorOutput() {
        std::string ours;
        for (const QByteArray& line : process.readAllStandardError().split('\n')) {
            if (line.startsWith("[fonts]") || line.startsWith("unable to find bundle") ||
                line.startsWith("velmora:")) {
                ours += line.toStdString() + '\n';
            }
        }
        return ours;
    }

    QProcess process;

  private:
    QString runtimeDir_;
    QTemporaryDir roots_;
};

class ProgramTest : public ::testing::Test {
  protected:
    const QString executable = qEnvironmentVariable("VELMORA_BUILD_DIR") + "/bin/velmora";
    QTemporaryDir runtime;
};

TEST_F(ProgramTest, SecondStartAsksTheFirstToReopenAndEnds) {
    Program first(executable, runtime.path());
    ASSERT_TRUE(first.startAndWaitForLaunch()) << first.errorOutput();
    EXPECT_EQ(first.errorOutput(), "[fonts] registered Inter\n[fonts] registered Fraunces\n");

    Program second(executable, runtime.path());
    second.process.start();
    ASSERT_TRUE(second.process.waitForFinished(kStartTimeoutMs));
    EXPECT_EQ(second.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.process.exitCode(), 0);
    // The second start registers no fonts and builds no window: it only passes the request on.
    EXPECT_EQ(second.errorOutput(), "");
    EXPECT_TRUE(first.running());
}

TEST_F(ProgramTest, MissingBundleIsReportedAndTheProgramRunsOn) {
    // A copy of the program in a folder of its own, without the bundle beside it.
    QTemporaryDir alone;
    const QString copy = alone.filePath(QStringLiteral("velmora"));
    ASSERT_TRUE(QFile::copy(executable, copy));
    Program program(copy, runtime.path());
    ASSERT_TRUE(program.startAndWaitForLaunch()) << program.errorOutput();
    const std::string err = program.errorOutput();
    EXPECT_TRUE(
        err.starts_with("unable to find bundle named Velmora_VelmoraUI\n"
                        "[fonts] Inter.ttf not found in bundle\n"))
        << err;
    EXPECT_NE(err.find("[fonts] Fraunces.ttf not found in bundle\n"), std::string::npos) << err;
}

TEST_F(ProgramTest, WithoutADisplayItSaysHowToRunIt) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        env.remove(QString::fromLatin1(name));
    }
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    process.setProcessEnvironment(env);
    process.start(executable, {});
    ASSERT_TRUE(process.waitForFinished(kStartTimeoutMs));
    EXPECT_NE(process.exitCode(), 0);
    const QString err = QString::fromUtf8(process.readAllStandardError());
    EXPECT_TRUE(err.contains(QStringLiteral("no display"))) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("xvfb-run -a scripts/run")));
}

}  // namespace
}  // namespace velmora
