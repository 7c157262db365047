// One running application per user: a second start asks the first to reopen its window and ends.
#pragma once

#include <QLockFile>
#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "platform/UniqueFd.hpp"

namespace velmora {

class SingleInstance : public QObject {
    Q_OBJECT

  public:
    enum class Role { primary, secondary, unavailable };

    static constexpr std::chrono::milliseconds answerTimeout{5000};
    static constexpr std::chrono::milliseconds clientIdleTimeout{2000};

    // A private folder of this user for the lock and the socket: $XDG_RUNTIME_DIR/velmora, or a
    // folder named after the user id in the temporary folder. None when no private folder can be
    // had (another user owns the name, or it is open to others).
    static std::optional<QString> defaultFolder();

    explicit SingleInstance(std::optional<QString> folder = defaultFolder());
    ~SingleInstance() override;

    // Takes the per-user lock (primary) or finds it held by a running instance (secondary).
    // Without a private folder the application runs on its own (unavailable).
    Role claim();

    // Primary: accepts reopen requests and calls `onReopen` for each. False when the socket
    // cannot be opened; the application then runs without it.
    bool listen(std::function<void()> onReopen);
    QString socketPath() const;

    // Secondary: asks the running instance to reopen; true only once it has answered.
    bool requestReopen(std::chrono::milliseconds timeout = answerTimeout);

  private:
    void accept();
    void stopListening();

    std::optional<QString> folder_;
    std::unique_ptr<QLockFile> lock_;
    UniqueFd listener_;
    std::unique_ptr<QSocketNotifier> incoming_;
    std::function<void()> onReopen_;
};

}  // namespace velmora
