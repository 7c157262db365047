// The per-user instance lock and the reopen request over its local socket.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <future>

#include "platform/UnixSocket.hpp"
#include "ui/shell/SingleInstance.hpp"

namespace velmora {
namespace {

using namespace std::chrono_literals;

class InstanceFolder : public ::testing::Test {
  protected:
    QString folder() const { return temp.path(); }
    QTemporaryDir temp;
};

TEST_F(InstanceFolder, FirstClaimIsPrimaryTheNextSecondaryUnansweredAndAReleasedLockIsFree) {
    auto first = std::make_unique<SingleInstance>(folder());
    EXPECT_EQ(first->claim(), SingleInstance::Role::primary);
    SingleInstance second(folder());
    EXPECT_EQ(second.claim(), SingleInstance::Role::secondary);
    // Nobody listens yet, as while the first instance is still starting: not a success.
    EXPECT_FALSE(second.requestReopen(200ms));
    first.reset();
    SingleInstance third(folder());
    EXPECT_EQ(third.claim(), SingleInstance::Role::primary);
}

TEST_F(InstanceFolder, LockAndSocketLeftByAnEndedProcessAreTakenOver) {
    QFile lock(folder() + QStringLiteral("/instance.lock"));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    // A process id no running process has (above the kernel's largest).
    lock.write("4194305\nshell_tests\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    lock.close();
    // A socket file whose listener has closed, as a crashed instance leaves it.
    ASSERT_TRUE(listenOnUnixSocket((folder() + QStringLiteral("/instance.sock")).toStdString(),
                                   0600, 1, SocketBlocking::blocking));
    SingleInstance instance(folder());
    EXPECT_EQ(instance.claim(), SingleInstance::Role::primary);
    EXPECT_TRUE(instance.listen([] {}));
}

TEST_F(InstanceFolder, ReopenRequestIsAnsweredAndHandledOnceAndOtherBytesAreDropped) {
    SingleInstance primary(folder());
    ASSERT_EQ(primary.claim(), SingleInstance::Role::primary);
    int reopened = 0;
    ASSERT_TRUE(primary.listen([&reopened] { ++reopened; }));

    SingleInstance secondary(folder());
    ASSERT_EQ(secondary.claim(), SingleInstance::Role::secondary);
    auto answered =
        std::async(std::launch::async, [&secondary] { return secondary.requestReopen(3s); });
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return answered.wait_for(0s) == std::future_status::ready; }, 4000));
    EXPECT_TRUE(answered.get());
    EXPECT_TRUE(QTest::qWaitFor([&] { return reopened == 1; }));

    // Other bytes are dropped unanswered and reopen nothing.
    const QString path = primary.socketPath();
    for (const QByteArray& request :
         {QByteArray("REOPEN\n"), QByteArray("reopenx"), QByteArray(4096, 'r')}) {
        auto answer = std::async(std::launch::async, [&path, request] {
            const auto deadline = SocketClock::now() + 2s;
            const UniqueFd socket = openUnixSocket(SocketBlocking::nonBlocking);
            if (!connectUnixSocket(socket.get(), path.toStdString(), deadline).ok()) {
                return QByteArray("not connected");
            }
            // The instance may close on the first wrong byte, before all of them are sent.
            sendAllBefore(socket.get(), std::string_view(request.constData(), request.size()),
                          deadline);
            QByteArray received;
            char buffer[64];
            while (waitForSocket(socket.get(), POLLIN, SocketClock::now() + 1s).ok()) {
                const ssize_t got = ::recv(socket.get(), buffer, sizeof buffer, 0);
                if (got <= 0) {
                    break;
                }
                received.append(buffer, got);
            }
            return received;
        });
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return answer.wait_for(0s) == std::future_status::ready; }, 4000));
        EXPECT_EQ(answer.get(), QByteArray()) << request.left(10).toStdString();
    }
    QTest::qWait(50);
    EXPECT_EQ(reopened, 1);
}

TEST(InstanceFolderChoice, PrivateFolderInTheRuntimeFolderAndNothingOpenToOthers) {
    QTemporaryDir runtime;
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    const std::optional<QString> folder = SingleInstance::defaultFolder();
    ASSERT_TRUE(folder.has_value());
    EXPECT_EQ(*folder, runtime.path() + QStringLiteral("/velmora"));
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(*folder).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    // A folder others can enter could hold a socket planted by another user.
    ASSERT_EQ(::chmod(QFile::encodeName(*folder).constData(), 0755), 0);
    EXPECT_FALSE(SingleInstance::defaultFolder().has_value());
    SingleInstance none(std::nullopt);
    EXPECT_EQ(none.claim(), SingleInstance::Role::unavailable);
    qputenv("XDG_RUNTIME_DIR", saved);
}

}  // namespace
}  // namespace velmora
