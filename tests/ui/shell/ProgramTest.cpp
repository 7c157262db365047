// The velmora program as a process: a second start, a missing bundle and a missing font file.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

namespace velmora {
namespace {

constexpr int kStartTimeoutMs = 10000;

QString buildDir() {
    return QString::fromLocal8Bit(qgetenv("VELMORA_BUILD_DIR"));
}

// A running velmora, offscreen, with its own simulated Mac and instance folder; killed at the end.
class Program {
  public:
    explicit Program(const QString& executable, const QString& runtimeDir) {
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
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }
    // Started and past its launch sequence: it listens for a second start only after it.
    bool startAndWaitForLaunch(const QString& runtimeDir) {
        process.start();
        const QString socket = runtimeDir + QStringLiteral("/velmora/instance.sock");
        return process.waitForStarted() &&
               QTest::qWaitFor(
                   [&] {
                       return QFileInfo::exists(socket) || process.state() == QProcess::NotRunning;
                   },
                   kStartTimeoutMs) &&
               process.state() == QProcess::Running;
    }
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
    QTemporaryDir roots_;
};

class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        executable = buildDir() + QStringLiteral("/bin/velmora");
        ASSERT_TRUE(QFileInfo(executable).isExecutable()) << executable.toStdString();
    }
    // A copy of the program in a folder of its own, with the bundle files kept by `keep`.
    QString copyProgram(const std::function<bool(const QString&)>& keep, bool withBundle) {
        const QString target = copies.filePath(QStringLiteral("velmora"));
        EXPECT_TRUE(QFile::copy(executable, target));
        if (withBundle) {
            const QDir source(buildDir() + QStringLiteral("/bin/Velmora_VelmoraUI.bundle"));
            QDir(copies.path()).mkdir(QStringLiteral("Velmora_VelmoraUI.bundle"));
            for (const QString& name : source.entryList(QDir::Files)) {
                if (keep(name)) {
                    QFile::copy(
                        source.filePath(name),
                        copies.filePath(QStringLiteral("Velmora_VelmoraUI.bundle/") + name));
                }
            }
        }
        return target;
    }

    QString executable;
    QTemporaryDir runtime;
    QTemporaryDir copies;
};

TEST_F(ProgramTest, SecondStartAsksTheFirstToReopenAndEnds) {
    Program first(executable, runtime.path());
    ASSERT_TRUE(first.startAndWaitForLaunch(runtime.path())) << first.errorOutput();
    EXPECT_EQ(first.errorOutput(), "[fonts] registered Inter\n[fonts] registered Fraunces\n");

    Program second(executable, runtime.path());
    second.process.start();
    ASSERT_TRUE(second.process.waitForFinished(kStartTimeoutMs));
    EXPECT_EQ(second.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.process.exitCode(), 0);
    // The second start registers no fonts and builds no window: it only passes the request on.
    EXPECT_EQ(second.errorOutput(), "");
    EXPECT_EQ(first.process.state(), QProcess::Running);
}

TEST_F(ProgramTest, MissingBundleIsReportedAndTheProgramRunsOn) {
    Program program(copyProgram([](const QString&) { return false; }, false), runtime.path());
    ASSERT_TRUE(program.startAndWaitForLaunch(runtime.path())) << program.errorOutput();
    const std::string err = program.errorOutput();
    EXPECT_EQ(err.rfind("unable to find bundle named Velmora_VelmoraUI\n[fonts] Inter.ttf not "
                        "found in bundle\n",
                        0),
              0u)
        << err;
    EXPECT_NE(err.find("[fonts] Fraunces.ttf not found in bundle\n"), std::string::npos) << err;
}

TEST_F(ProgramTest, MissingFrauncesIsReportedAfterInter) {
    Program program(
        copyProgram([](const QString& name) { return name != QStringLiteral("Fraunces.ttf"); },
                    true),
        runtime.path());
    ASSERT_TRUE(program.startAndWaitForLaunch(runtime.path())) << program.errorOutput();
    EXPECT_EQ(program.errorOutput(),
              "[fonts] registered Inter\n[fonts] Fraunces.ttf not found in bundle\n");
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
