// The per-user instance lock and the reopen request over its local socket.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <future>

#include "platform/UnixSocket.hpp"
#include "ui/shell/SingleInstance.hpp"

namespace velmora {
namespace {

using namespace std::chrono_literals;

TEST(SingleInstance, FirstClaimIsPrimaryTheNextSecondaryAndAReleasedOrStaleLockIsFree) {
    QTemporaryDir temp;
    auto first = std::make_unique<SingleInstance>(temp.path());
    EXPECT_EQ(first->claim(), SingleInstance::Role::primary);
    SingleInstance second(temp.path());
    EXPECT_EQ(second.claim(), SingleInstance::Role::secondary);
    EXPECT_FALSE(second.requestReopen(200ms)) << "nobody listens yet: not a success";
    first.reset();
    EXPECT_EQ(SingleInstance(temp.path()).claim(), SingleInstance::Role::primary);

    // A lock naming a process id no running process has, and a socket whose listener closed.
    QTemporaryDir crashed;
    QFile lock(crashed.filePath(QStringLiteral("instance.lock")));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write("4194305\nshell_tests\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    lock.close();
    ASSERT_TRUE(listenOnUnixSocket(crashed.filePath(QStringLiteral("instance.sock")).toStdString(),
                                   0600, 1, SocketBlocking::blocking));
    SingleInstance instance(crashed.path());
    EXPECT_EQ(instance.claim(), SingleInstance::Role::primary);
    EXPECT_TRUE(instance.listen([] {}));
}

// Whether the other end of a connection has closed it.
bool hungUp(int socket) {
    char byte = 0;
    const ssize_t got = ::recv(socket, &byte, 1, MSG_DONTWAIT);
    return got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
}

TEST(SingleInstance, ReopenRequestIsAnsweredAndHandledOnceAndOtherBytesAreDropped) {
    QTemporaryDir temp;
    SingleInstance primary(temp.path());
    ASSERT_EQ(primary.claim(), SingleInstance::Role::primary);
    int reopened = 0;
    ASSERT_TRUE(primary.listen([&reopened] { ++reopened; }));
    SingleInstance secondary(temp.path());
    ASSERT_EQ(secondary.claim(), SingleInstance::Role::secondary);
    // Answered on another thread while this one serves the socket.
    auto answered =
        std::async(std::launch::async, [&secondary] { return secondary.requestReopen(3s); });
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return answered.wait_for(0s) == std::future_status::ready; }, 4000));
    EXPECT_TRUE(answered.get());
    EXPECT_TRUE(QTest::qWaitFor([&] { return reopened == 1; }));

    const std::string path = primary.socketPath().toStdString();
    for (const std::string& request : {std::string("REOPEN\n"), std::string(4096, 'r')}) {
        const auto deadline = SocketClock::now() + 2s;
        const UniqueFd socket = openUnixSocket(SocketBlocking::nonBlocking);
        ASSERT_TRUE(connectUnixSocket(socket.get(), path, deadline).ok());
        sendAllBefore(socket.get(), request, deadline);  // may be cut off at the first wrong byte
        // The instance hangs up on a wrong byte; then one more turn for a reopen it might queue.
        EXPECT_TRUE(QTest::qWaitFor([&] { return hungUp(socket.get()); }));
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(reopened, 1) << "other bytes reopen nothing";
}

// A folder others can enter could hold a socket planted by another user.
TEST(SingleInstance, PrivateFolderInTheRuntimeFolderAndNothingOpenToOthers) {
    QTemporaryDir runtime;
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    const std::optional<QString> folder = SingleInstance::defaultFolder();
    ASSERT_EQ(folder, runtime.path() + QStringLiteral("/velmora"));
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(*folder).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    ASSERT_EQ(::chmod(QFile::encodeName(*folder).constData(), 0755), 0);
    EXPECT_FALSE(SingleInstance::defaultFolder().has_value());
    EXPECT_EQ(SingleInstance(std::nullopt).claim(), SingleInstance::Role::unavailable);
    qputenv("XDG_RUNTIME_DIR", saved);
}

}  // namespace
}  // namespace velmora
