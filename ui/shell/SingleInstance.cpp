// Per-user lock file and local socket through which a second start reaches the running instance.
#include "ui/shell/SingleInstance.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <iostream>

namespace velmora {

namespace {

const QByteArray kReopen = QByteArrayLiteral("reopen\n");
const QByteArray kAnswer = QByteArrayLiteral("ok\n");
constexpr const char* kLockName = "instance.lock";
constexpr const char* kSocketName = "instance.sock";
constexpr mode_t kPrivateMode = 0700;
constexpr mode_t kOthersBits = 0077;
constexpr std::chrono::milliseconds kConnectRetry{25};

// The folder exists (made here if needed), belongs to this user and nobody else can enter it.
bool isPrivateFolder(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), kPrivateMode) != 0 && errno != EEXIST) {
        return false;
    }
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0) {
        return false;
    }
    return S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & kOthersBits) == 0;
}

}  // namespace

std::optional<QString> SingleInstance::defaultFolder() {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    const QString path =
        !runtime.isEmpty() && QFileInfo(QString::fromLocal8Bit(runtime)).isDir()
            ? QString::fromLocal8Bit(runtime) + QStringLiteral("/velmora")
            : QDir::tempPath() + QStringLiteral("/velmora-") + QString::number(::getuid());
    if (!isPrivateFolder(path)) {
        return std::nullopt;
    }
    return path;
}

SingleInstance::SingleInstance(std::optional<QString> folder) : folder_(std::move(folder)) {}

SingleInstance::~SingleInstance() = default;

SingleInstance::Role SingleInstance::claim() {
    if (!folder_) {
        return Role::unavailable;
    }
    lock_ = std::make_unique<QLockFile>(*folder_ + QLatin1Char('/') + QLatin1String(kLockName));
    // Only a lock whose holder has died is stale, however old it is.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) {
        return Role::primary;
    }
    const QLockFile::LockError error = lock_->error();
    lock_.reset();
    return error == QLockFile::LockFailedError ? Role::secondary : Role::unavailable;
}

QString SingleInstance::socketPath() const {
    return folder_ ? *folder_ + QLatin1Char('/') + QLatin1String(kSocketName) : QString();
}

bool SingleInstance::listen(std::function<void()> onReopen) {
    if (!lock_) {
        return false;
    }
    onReopen_ = std::move(onReopen);
    // We hold the lock, so a socket left here belongs to an instance that has ended.
    QLocalServer::removeServer(socketPath());
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_.get(), &QLocalServer::newConnection, this, &SingleInstance::accept);
    if (!server_->listen(socketPath())) {
        std::cerr << "velmora: cannot listen for a second start: "
                  << server_->errorString().toStdString() << '\n';
        server_.reset();
        return false;
    }
    return true;
}

void SingleInstance::accept() {
    while (QLocalSocket* client = server_->nextPendingConnection()) {
        connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        QTimer::singleShot(clientIdleTimeout, client, [client] { client->abort(); });
        connect(client, &QLocalSocket::readyRead, this, [this, client] {
            // A request is one short line; anything longer or different is dropped unanswered.
            if (client->bytesAvailable() < kReopen.size()) {
                return;
            }
            const QByteArray line = client->read(kReopen.size());
            if (line != kReopen) {
                client->abort();
                return;
            }
            client->write(kAnswer);
            client->disconnectFromServer();
            // Answer first, then reopen from the event loop, never inside the socket's handler.
            QTimer::singleShot(0, this, [this] {
                if (onReopen_) {
                    onReopen_();
                }
            });
        });
    }
}

bool SingleInstance::requestReopen(std::chrono::milliseconds timeout) {
    if (!folder_) {
        return false;
    }
    const QDeadlineTimer deadline(timeout);
    QLocalSocket socket;
    // The running instance may still be starting and not yet listening.
    for (;;) {
        socket.connectToServer(socketPath());
        if (socket.waitForConnected(static_cast<int>(deadline.remainingTime()))) {
            break;
        }
        if (deadline.hasExpired()) {
            return false;
        }
        QThread::msleep(static_cast<unsigned long>(kConnectRetry.count()));
    }
    socket.write(kReopen);
    if (!socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) {
        return false;
    }
    QByteArray answer;
    while (answer.size() < kAnswer.size()) {
        if (socket.bytesAvailable() == 0 &&
            !socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            return false;
        }
        answer += socket.read(kAnswer.size() - answer.size());
    }
    return answer == kAnswer;
}

}  // namespace velmora
