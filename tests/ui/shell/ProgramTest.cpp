// The velmora program as a process: a second start, termination signals, a missing bundle and a
// missing display.
#include <signal.h>

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace velmora {
namespace {

constexpr int kStartTimeoutMs = 10000;
const QString kBuiltProgram = qEnvironmentVariable("VELMORA_BUILD_DIR") + "/bin/velmora";

// A velmora with its own simulated Mac and the instance folder under `runtimeDir`; killed at the
// end. Offscreen unless `display` is false, then with no display at all.
class Program {
  public:
    Program(const QString& runtimeDir, const QString& executable = kBuiltProgram,
            bool display = true, const QStringList& arguments = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
            env.remove(QString::fromLatin1(name));
        }
        if (display) {
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        }
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("*=false"));  // ours only
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
        env.insert(QStringLiteral("VELMORA_HOME_ROOT"), roots_.filePath(QStringLiteral("home")));
        env.insert(QStringLiteral("VELMORA_SYSTEM_ROOT"), roots_.filePath(QStringLiteral("sys")));
        process.setProcessEnvironment(env);
        process.start(executable, arguments);
        socket_ = runtimeDir + QStringLiteral("/velmora/instance.sock");
        lock_ = runtimeDir + QStringLiteral("/velmora/instance.lock");
    }
    ~Program() {
        process.kill();
        process.waitForFinished();
    }
    // Past its launch sequence: it listens for a second start only after it.
    bool launched() {
        const auto running = [&] { return process.state() == QProcess::Running; };
        return process.waitForStarted() &&
               QTest::qWaitFor([&] { return QFileInfo::exists(socket_) || !running(); },
                               kStartTimeoutMs) &&
               running();
    }
    std::string errorOutput() { return process.readAllStandardError().toStdString(); }
    // What the instance leaves in its private folder.
    bool leftSocket() const { return QFileInfo::exists(socket_); }
    bool leftLock() const { return QFileInfo::exists(lock_); }

    QProcess process;

  private:
    QTemporaryDir roots_;
    QString socket_;
    QString lock_;
};

TEST(ProgramTest, SecondStartAsksTheFirstToReopenAndEnds) {
    QTemporaryDir runtime;
    Program first(runtime.path());
    ASSERT_TRUE(first.launched()) << first.errorOutput();
    EXPECT_EQ(first.errorOutput(), "[fonts] registered Inter\n[fonts] registered Fraunces\n");
    Program second(runtime.path());
    ASSERT_TRUE(second.process.waitForFinished(kStartTimeoutMs));
    EXPECT_EQ(second.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.process.exitCode(), 0);
    EXPECT_EQ(second.errorOutput(), "") << "no fonts, no window: it only passes the request on";
    EXPECT_EQ(first.process.state(), QProcess::Running);
}

TEST(ProgramTest, TerminationSignalsQuitAsQuitDoesLeavingNeitherSocketNorLock) {
    for (const int number : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(::strsignal(number));
        QTemporaryDir runtime;
        Program program(runtime.path());
        ASSERT_TRUE(program.launched()) << program.errorOutput();
        ASSERT_TRUE(program.leftLock());
        ::kill(static_cast<pid_t>(program.process.processId()), number);
        ASSERT_TRUE(program.process.waitForFinished(kStartTimeoutMs));
        EXPECT_EQ(program.process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.process.exitCode(), 0);
        EXPECT_FALSE(program.leftSocket());
        EXPECT_FALSE(program.leftLock());
        // The next start is the running instance again, not a second start that finds no one.
        Program next(runtime.path());
        EXPECT_TRUE(next.launched()) << next.errorOutput();
    }
}

// Under nohup a closed terminal is meant to leave the application running.
TEST(ProgramTest, AHangUpIgnoredAtStartStaysIgnored) {
    constexpr int kGraceMs = 500;
    QTemporaryDir runtime;
    Program program(runtime.path(), QStringLiteral("/usr/bin/nohup"), true, {kBuiltProgram});
    ASSERT_TRUE(program.launched()) << program.errorOutput();
    ::kill(static_cast<pid_t>(program.process.processId()), SIGHUP);
    EXPECT_FALSE(program.process.waitForFinished(kGraceMs));
    ::kill(static_cast<pid_t>(program.process.processId()), SIGTERM);
    ASSERT_TRUE(program.process.waitForFinished(kStartTimeoutMs));
    EXPECT_EQ(program.process.exitCode(), 0);
    EXPECT_FALSE(program.leftLock());
}

// The heaps glibc gave threads of process `pid` beside the main one, as /proc/PID/maps shows
// them: each is an anonymous mapping at a multiple of their 64 MiB reservation, the rest of which
// follows it unreadable.
int threadHeaps(qint64 pid) {
    QFile maps(QStringLiteral("/proc/%1/maps").arg(pid));
    if (!maps.open(QIODevice::ReadOnly)) {
        return -1;
    }
    constexpr quint64 kReservation = 64ULL << 20;
    int heaps = 0;
    quint64 heapEnd = 0;
    for (const QByteArray& line : maps.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        constexpr qsizetype kAnonymousFields = 5;  // range, perms, offset, device, inode
        if (fields.size() != kAnonymousFields) {
            heapEnd = 0;
            continue;
        }
        const QList<QByteArray> range = fields[0].split('-');
        const quint64 start = range.value(0).toULongLong(nullptr, 16);
        if (heapEnd != 0 && start == heapEnd && fields[1] == "---p") {
            ++heaps;
        }
        heapEnd = fields[1] == "rw-p" && start % kReservation == 0
                      ? range.value(1).toULongLong(nullptr, 16)
                      : 0;
    }
    return heaps;
}

// Its workers (the fonts', the pictures', Qt's paint helpers) allocate from the one heap: each
// heap of their own kept what they took after they were done.
TEST(ProgramTest, ItsThreadsShareTheOneHeap) {
    QTemporaryDir runtime;
    Program program(runtime.path());
    ASSERT_TRUE(program.launched()) << program.errorOutput();
    constexpr int kPastTheFirstFrameMs = 1000;
    QTest::qWait(kPastTheFirstFrameMs);
    EXPECT_EQ(threadHeaps(program.process.processId()), 0);
}

TEST(ProgramTest, MissingBundleIsReportedAndTheProgramRunsOnAndNoDisplayIsExplained) {
    QTemporaryDir runtime, alone;
    const QString copy = alone.filePath(QStringLiteral("velmora"));
    ASSERT_TRUE(QFile::copy(kBuiltProgram, copy));
    Program program(runtime.path(), copy);
    ASSERT_TRUE(program.launched()) << program.errorOutput();
    const std::string err = program.errorOutput();
    EXPECT_TRUE(err.starts_with("unable to find bundle named Velmora_VelmoraUI\n"
                                "[fonts] Inter.ttf not found in bundle\n") &&
                err.find("[fonts] Fraunces.ttf not found in bundle\n") != err.npos)
        << err;

    QTemporaryDir otherRuntime;
    Program headless(otherRuntime.path(), kBuiltProgram, false);
    ASSERT_TRUE(headless.process.waitForFinished(kStartTimeoutMs));
    EXPECT_NE(headless.process.exitCode(), 0);
    const std::string text = headless.errorOutput();
    EXPECT_TRUE(text.find("no display") != text.npos &&
                text.find("xvfb-run -a scripts/run") != text.npos)
        << text;
}

}  // namespace
}  // namespace velmora
