// SIGTERM, SIGINT and SIGHUP end the application the way its Quit does, from the event loop.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>

#include "platform/UniqueFd.hpp"

namespace velmora {

// The handler only writes the signal's number into a pipe; the event loop reads it and calls
// `onSignal`. Whatever that does (quitting, so that the instance socket and lock are removed as
// usual) thus runs outside the handler, where anything may be called. One object per process.
class TerminationSignals : public QObject {
    Q_OBJECT

  public:
    // Installs the handlers for SIGTERM, SIGINT and SIGHUP (unless SIGHUP is ignored, as under
    // nohup). False (nothing installed) when the pipe cannot be made; the signals then keep
    // their default action.
    bool install(std::function<void()> onSignal);
    // Puts the default actions back.
    ~TerminationSignals() override;

  private:
    void drain();

    UniqueFd readEnd_;
    UniqueFd writeEnd_;
    std::unique_ptr<QSocketNotifier> readable_;
    std::function<void()> onSignal_;
    bool installed_ = false;
};

}  // namespace velmora
