// Per-user lock file and Unix socket through which a second start reaches the running instance.
#include "ui/shell/SingleInstance.hpp"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>

#include "platform/UnixSocket.hpp"

namespace velmora {

namespace {

const QByteArray kReopen = QByteArrayLiteral("reopen\n");
const QByteArray kAnswer = QByteArrayLiteral("ok\n");
constexpr const char* kLockName = "instance.lock";
constexpr const char* kSocketName = "instance.sock";
constexpr mode_t kPrivateMode = 0700;
constexpr mode_t kOthersBits = 0077;
constexpr mode_t kSocketMode = 0600;
constexpr int kBacklog = 8;
constexpr std::chrono::milliseconds kConnectRetry{25};

// One connection to the running instance, read as the event loop reports bytes. It answers a
// reopen request once and closes; anything else, or silence, closes it unanswered.
class ReopenRequest : public QObject {
  public:
    ReopenRequest(UniqueFd socket, std::function<void()> onRequest, QObject* parent)
        : QObject(parent),
          socket_(std::move(socket)),
          readable_(socket_.get(), QSocketNotifier::Read, this),
          onRequest_(std::move(onRequest)) {
        connect(&readable_, &QSocketNotifier::activated, this, &ReopenRequest::read);
        QTimer::singleShot(SingleInstance::clientIdleTimeout, this, &ReopenRequest::close);
    }

  private:
    void read() {
        char buffer[sizeof "reopen\n"];
        const auto wanted = static_cast<std::size_t>(kReopen.size() - received_.size());
        const ssize_t got = ::recv(socket_.get(), buffer, wanted, 0);
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) {
            return;
        }
        if (got <= 0) {
            close();
            return;
        }
        received_.append(buffer, static_cast<qsizetype>(got));
        if (!kReopen.startsWith(received_)) {
            close();
            return;
        }
        if (received_.size() < kReopen.size()) {
            return;
        }
        // A fresh connection always has room for the short answer; a peer gone already is
        // nothing to report.
        (void)::send(socket_.get(), kAnswer.constData(), static_cast<std::size_t>(kAnswer.size()),
                     MSG_NOSIGNAL | MSG_DONTWAIT);
        close();
        // Answer first, then reopen from the event loop, never inside the socket's handler.
        QTimer::singleShot(0, parent(), onRequest_);
    }

    void close() {
        readable_.setEnabled(false);
        socket_.reset();
        deleteLater();
    }

    UniqueFd socket_;
    QSocketNotifier readable_;
    std::function<void()> onRequest_;
    QByteArray received_;
};

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

SingleInstance::~SingleInstance() {
    // The socket goes while the lock is still held, so no newer instance's socket is removed.
    stopListening();
}

void SingleInstance::stopListening() {
    if (!listener_) {
        return;
    }
    incoming_.reset();
    listener_.reset();
    ::unlink(QFile::encodeName(socketPath()).constData());
}

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
    stopListening();
    onReopen_ = std::move(onReopen);
    const QByteArray path = QFile::encodeName(socketPath());
    // We hold the lock, so a socket left here belongs to an instance that has ended.
    if (::unlink(path.constData()) != 0 && errno != ENOENT) {
        std::fprintf(stderr, "velmora: cannot listen for a second start: %s: %s\n",
                     path.constData(), std::strerror(errno));
        return false;
    }
    auto listener =
        listenOnUnixSocket(path.toStdString(), kSocketMode, kBacklog, SocketBlocking::nonBlocking);
    if (!listener) {
        std::fprintf(stderr, "velmora: cannot listen for a second start: %s\n",
                     listener.error().c_str());
        return false;
    }
    listener_ = std::move(listener.value());
    incoming_ = std::make_unique<QSocketNotifier>(listener_.get(), QSocketNotifier::Read);
    connect(incoming_.get(), &QSocketNotifier::activated, this, &SingleInstance::accept);
    return true;
}

void SingleInstance::accept() {
    for (;;) {
        UniqueFd client(::accept4(listener_.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!client) {
            // EAGAIN: all taken. Anything else (out of descriptors, say) the next wake-up retries.
            return;
        }
        new ReopenRequest(
            std::move(client),
            [this] {
                if (onReopen_) {
                    onReopen_();
                }
            },
            this);
    }
}

bool SingleInstance::requestReopen(std::chrono::milliseconds timeout) {
    if (!folder_) {
        return false;
    }
    const auto deadline = SocketClock::now() + timeout;
    const std::string path = QFile::encodeName(socketPath()).toStdString();
    UniqueFd socket;
    // The running instance may still be starting and not yet listening.
    for (;;) {
        socket = openUnixSocket(SocketBlocking::nonBlocking);
        if (!socket) {
            return false;
        }
        const SocketStep connected = connectUnixSocket(socket.get(), path, deadline);
        if (connected.ok()) {
            break;
        }
        if (connected.kind == SocketStep::Kind::timedOut ||
            SocketClock::now() + kConnectRetry >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(kConnectRetry);
    }
    const std::string_view request(kReopen.constData(), static_cast<std::size_t>(kReopen.size()));
    if (!sendAllBefore(socket.get(), request, deadline).ok()) {
        return false;
    }
    QByteArray answer;
    char buffer[sizeof "ok\n"];
    while (answer.size() < kAnswer.size()) {
        if (!waitForSocket(socket.get(), POLLIN, deadline).ok()) {
            return false;
        }
        const auto wanted = static_cast<std::size_t>(kAnswer.size() - answer.size());
        const ssize_t got = ::recv(socket.get(), buffer, wanted, 0);
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        answer.append(buffer, static_cast<qsizetype>(got));
    }
    return answer == kAnswer;
}

}  // namespace velmora
